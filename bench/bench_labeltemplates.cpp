// Reading the installed label-template library, as the layout dialog does
// the first time it opens: prints the best of several runs, the number of
// card stock products offered and how many of them are business cards.
#include "printing/LabelTemplates.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList folders = labeltemplates::DefaultTemplateFolders();
    qint64 best = -1;
    QList<labeltemplates::TCardProduct> products;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        products = labeltemplates::ReadCardProducts(folders);
        const qint64 ns = timer.nsecsElapsed();
        best = best < 0 ? ns : std::min(best, ns);
    }
    const auto businessCards =
        std::count_if(products.cbegin(), products.cend(), [](const auto &p) { return p.BusinessCard; });
    std::printf("label-template library: %lld products offered (%lld business cards), read in %.1f ms\n",
                static_cast<long long>(products.size()), static_cast<long long>(businessCards), best / 1e6);
    return 0;
}
