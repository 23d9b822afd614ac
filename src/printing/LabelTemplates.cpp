// Holds TCardProduct and the reader of the label-template library.
#include "printing/LabelTemplates.h"

#include "platform/InputFiles.h"
#include "printing/SheetLayoutDialog.h"

#include <QCollator>
#include <QDir>
#include <QHash>
#include <QPageSize>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace labeltemplates {
namespace {

// How far a card may reach past the paper's edge and still count as on it.
constexpr double kPaperTolerance = 0.01;
// How much larger than its pitch a card may be written and still be read.
constexpr float kSizeOverPitch = 0.01f;

struct TGrid {
    QString nx, ny, x0, y0, dx, dy;
};

// One <Template> as written, before equivalents are resolved and lengths read.
struct TRawTemplate {
    QString brand, part, description, equiv;
    QString paperId, paperWidth, paperHeight;
    QStringList categories;
    QString labelKind; // "Label-rectangle", "Label-round", ...
    int labelCount = 0;
    QString width, height, round;
    QList<TGrid> grids;
};

struct TPaper {
    QString name;
    double width = 0.0, height = 0.0; // inches
};

struct TLibrary {
    QList<TRawTemplate> templates;
    QHash<QString, TPaper> papers; // by id
};

QString Key(const QString &brand, const QString &part)
{
    return brand.simplified().toCaseFolded() + QLatin1Char(' ') + part.simplified().toCaseFolded();
}

QString Attribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toString().trimmed();
}

// The translatable attributes are written with a leading underscore.
QString TextAttribute(const QXmlStreamReader &xml, const char *name)
{
    const QString plain = Attribute(xml, name);
    return plain.isEmpty() ? Attribute(xml, (QByteArray("_") + name).constData()) : plain;
}

void ReadTemplate(QXmlStreamReader &xml, TRawTemplate &t)
{
    t.brand = Attribute(xml, "brand");
    t.part = Attribute(xml, "part");
    if (t.brand.isEmpty() && t.part.isEmpty()) {
        // Older files name a product in one attribute, brand first.
        const QString name = Attribute(xml, "name").simplified();
        const qsizetype space = name.indexOf(QLatin1Char(' '));
        if (space > 0) {
            t.brand = name.left(space);
            t.part = name.mid(space + 1);
        }
    }
    t.description = TextAttribute(xml, "description");
    t.equiv = Attribute(xml, "equiv");
    t.paperId = Attribute(xml, "size");
    t.paperWidth = Attribute(xml, "width");
    t.paperHeight = Attribute(xml, "height");

    int depth = 1;
    bool inLabel = false;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (xml.name().startsWith(QLatin1String("Label-")))
                inLabel = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QStringView name = xml.name();
        if (name == QLatin1String("Meta")) {
            const QString category = Attribute(xml, "category");
            if (!category.isEmpty())
                t.categories << category;
        } else if (name.startsWith(QLatin1String("Label-"))) {
            inLabel = true;
            if (++t.labelCount == 1) {
                t.labelKind = name.toString();
                t.width = Attribute(xml, "width");
                t.height = Attribute(xml, "height");
                t.round = Attribute(xml, "round");
            }
        } else if (name == QLatin1String("Layout") && inLabel) {
            t.grids << TGrid{Attribute(xml, "nx"), Attribute(xml, "ny"), Attribute(xml, "x0"),
                             Attribute(xml, "y0"), Attribute(xml, "dx"), Attribute(xml, "dy")};
        }
    }
}

// Reads one library file into `library`; a file that cannot be read or is
// not well-formed adds nothing, and the reason is given back.
std::optional<QString> ReadFile(const QString &fileName, TLibrary &library)
{
    QByteArray bytes;
    try {
        bytes = platform::ReadInputFile(fileName, platform::TInputKind::CardStockTemplate);
    } catch (const platform::EInputFileError &e) {
        return e.Message();
    }
    QXmlStreamReader xml(bytes);
    TLibrary found;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Template")) {
            TRawTemplate t;
            ReadTemplate(xml, t);
            if (!t.brand.isEmpty() && !t.part.isEmpty())
                found.templates << t;
        } else if (xml.name() == QLatin1String("Paper-size")) {
            const std::optional<double> w = LengthInInches(Attribute(xml, "width"));
            const std::optional<double> h = LengthInInches(Attribute(xml, "height"));
            const QString id = Attribute(xml, "id");
            if (w && h && !id.isEmpty())
                found.papers.insert(id, TPaper{TextAttribute(xml, "name"), *w, *h});
        }
    }
    if (xml.hasError())
        return QStringLiteral("not a well-formed template file (line %1: %2)").arg(xml.lineNumber()).arg(xml.errorString());
    library.templates << found.templates;
    for (auto it = found.papers.cbegin(); it != found.papers.cend(); ++it)
        if (!library.papers.contains(it.key()))
            library.papers.insert(it.key(), it.value());
    return std::nullopt;
}

// The papers every library knows, for a library without its paper list.
void AddCommonPapers(QHash<QString, TPaper> &papers)
{
    const struct {
        const char *id, *name;
        double width, height;
    } common[] = {{"US-Letter", "US Letter", 8.5, 11.0},
                  {"A4", "A4", 210.0 / 25.4, 297.0 / 25.4},
                  {"US-Legal", "US Legal", 8.5, 14.0}};
    for (const auto &p : common)
        if (!papers.contains(QLatin1String(p.id)))
            papers.insert(QLatin1String(p.id), TPaper{QLatin1String(p.name), p.width, p.height});
}

// The printer paper code of a paper size, 0 when printers have none for it.
int PaperCode(double widthInches, double heightInches)
{
    const QPageSize size(QSizeF(widthInches, heightInches), QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
    if (!size.isValid() || size.id() == QPageSize::Custom)
        return 0;
    const int code = size.windowsId();
    return QPageSize::id(code) == QPageSize::Custom ? 0 : code;
}

// Lengths are kept in whole thousandths, as the settings file holds them.
float Thousandths(double inches) { return float(std::round(inches * 1000.0) / 1000.0); }

std::optional<int> Count(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// The product a resolved template describes, when a sheet layout can hold it.
std::optional<TCardProduct> ToProduct(const TRawTemplate &t, const QHash<QString, TPaper> &papers)
{
    const bool rectangle = t.labelKind == QLatin1String("Label-rectangle");
    if (!rectangle || t.labelCount != 1 || t.grids.size() != 1)
        return std::nullopt;

    TPaper paper;
    if (t.paperId.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0) {
        const std::optional<double> w = LengthInInches(t.paperWidth);
        const std::optional<double> h = LengthInInches(t.paperHeight);
        if (!w || !h)
            return std::nullopt;
        paper = TPaper{QStringLiteral("%1 x %2 in").arg(*w, 0, 'g', 4).arg(*h, 0, 'g', 4), *w, *h};
    } else if (papers.contains(t.paperId)) {
        paper = papers.value(t.paperId);
    } else {
        return std::nullopt;
    }
    const int code = PaperCode(paper.width, paper.height);
    if (code == 0)
        return std::nullopt;

    const TGrid &g = t.grids.first();
    const std::optional<double> width = LengthInInches(t.width), height = LengthInInches(t.height);
    const std::optional<double> x0 = LengthInInches(g.x0), y0 = LengthInInches(g.y0);
    const std::optional<double> dx = LengthInInches(g.dx.isEmpty() ? QStringLiteral("0") : g.dx);
    const std::optional<double> dy = LengthInInches(g.dy.isEmpty() ? QStringLiteral("0") : g.dy);
    const std::optional<int> nx = Count(g.nx), ny = Count(g.ny);
    if (!width || !height || !x0 || !y0 || !dx || !dy || !nx || !ny)
        return std::nullopt;

    TCardProduct product;
    product.Brand = t.brand;
    product.Part = t.part;
    product.Description = t.description;
    product.PaperName = paper.name.isEmpty() ? t.paperId : paper.name;
    product.BusinessCard = t.categories.contains(QLatin1String("business-card"));
    product.Rounded = LengthInInches(t.round).value_or(0.0) > 0.0;
    CardSheetLayout &l = product.Layout;
    l.Width = Thousandths(*width);
    l.Height = Thousandths(*height);
    l.Across = *nx;
    l.Down = *ny;
    l.LeftMargin = Thousandths(*x0);
    l.TopMargin = Thousandths(*y0);
    // A single column or row has no pitch of its own; the card's size stands in.
    l.HPitch = *nx > 1 ? Thousandths(*dx) : l.Width;
    l.VPitch = *ny > 1 ? Thousandths(*dy) : l.Height;
    l.Papersize = code;

    // Some products give a card a hair larger than its pitch (153.07 pt on a
    // 153 pt pitch); such a card is taken as large as its pitch.
    if (l.Across > 1 && l.Width > l.HPitch && l.Width - l.HPitch <= kSizeOverPitch)
        l.Width = l.HPitch;
    if (l.Down > 1 && l.Height > l.VPitch && l.Height - l.VPitch <= kSizeOverPitch)
        l.Height = l.VPitch;

    // The layout's own fields: the counts of its spin edits and its rules.
    if (l.Across < 1 || l.Across > 10 || l.Down < 1 || l.Down > 30)
        return std::nullopt;
    if (!sheetlayout::LayoutError(l).isEmpty() || l.LeftMargin < 0.0f || l.TopMargin < 0.0f)
        return std::nullopt;
    const double right = l.LeftMargin + (l.Across - 1) * double(l.HPitch) + l.Width;
    const double bottom = l.TopMargin + (l.Down - 1) * double(l.VPitch) + l.Height;
    if (right > paper.width + kPaperTolerance || bottom > paper.height + kPaperTolerance)
        return std::nullopt;
    return product;
}

// An equivalent product takes everything but its name from its original, of
// the same brand; chains are followed a few steps, loops lead nowhere.
std::optional<TRawTemplate> Resolve(const TRawTemplate &t, const QHash<QString, TRawTemplate> &originals)
{
    TRawTemplate current = t;
    for (int step = 0; step < 8; ++step) {
        if (current.equiv.isEmpty()) {
            current.brand = t.brand;
            current.part = t.part;
            if (!t.description.isEmpty())
                current.description = t.description;
            return current;
        }
        const auto it = originals.constFind(Key(t.brand, current.equiv));
        if (it == originals.cend())
            return std::nullopt;
        current = it.value();
    }
    return std::nullopt;
}

bool ComesBefore(const TCardProduct &a, const TCardProduct &b)
{
    static const QCollator collator = [] {
        QCollator c;
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    if (a.BusinessCard != b.BusinessCard)
        return a.BusinessCard;
    if (const int brand = collator.compare(a.Brand, b.Brand); brand != 0)
        return brand < 0;
    return collator.compare(a.Part, b.Part) < 0;
}

QStringList g_folders;
bool g_loaded = false;

QList<TCardProduct> &Cache()
{
    static QList<TCardProduct> products;
    return products;
}

QStringList &CachedProblems()
{
    static QStringList problems;
    return problems;
}

} // namespace

QString TCardProduct::ItemText() const
{
    QString text = Name();
    if (!Description.isEmpty())
        text += QStringLiteral(" - ") + Description;
    return text + QStringLiteral(" (") + PaperName + QLatin1Char(')');
}

std::optional<double> LengthInInches(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)\\s*(in|mm|cm|pt|pc)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double value = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    if (unit == QLatin1String("in"))
        return value;
    if (unit == QLatin1String("mm"))
        return value / 25.4;
    if (unit == QLatin1String("cm"))
        return value / 2.54;
    if (unit == QLatin1String("pc"))
        return value / 6.0;
    return value / 72.0; // points, also for a bare number
}

QStringList DefaultTemplateFolders()
{
    QStringList folders;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        folders << QDir(config).filePath(QStringLiteral("libglabels/templates"));
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(data).filePath(QStringLiteral("libglabels-3.0/templates"));
    return folders;
}

QList<TCardProduct> ReadCardProducts(const QStringList &folders, QStringList *problems)
{
    TLibrary library;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList files =
            dir.entryList({QStringLiteral("*.xml"), QStringLiteral("*.template")}, QDir::Files, QDir::Name);
        for (const QString &file : files)
            if (const std::optional<QString> problem = ReadFile(dir.filePath(file), library); problem && problems)
                *problems << dir.filePath(file) + QStringLiteral(": ") + *problem;
    }
    AddCommonPapers(library.papers);

    QHash<QString, TRawTemplate> byName;
    for (const TRawTemplate &t : library.templates)
        if (!byName.contains(Key(t.brand, t.part)))
            byName.insert(Key(t.brand, t.part), t);

    QList<TCardProduct> products;
    QSet<QString> taken;
    for (const TRawTemplate &t : library.templates) {
        const QString key = Key(t.brand, t.part);
        if (taken.contains(key))
            continue;
        taken.insert(key);
        const std::optional<TRawTemplate> resolved = Resolve(t, byName);
        if (!resolved)
            continue;
        if (std::optional<TCardProduct> product = ToProduct(*resolved, library.papers))
            products << *product;
    }
    std::stable_sort(products.begin(), products.end(), ComesBefore);
    return products;
}

const QList<TCardProduct> &CardProducts()
{
    if (!g_loaded) {
        CachedProblems().clear();
        Cache() = ReadCardProducts(g_folders.isEmpty() ? DefaultTemplateFolders() : g_folders, &CachedProblems());
        g_loaded = true;
    }
    return Cache();
}

const QStringList &CardStockProblems()
{
    CardProducts();
    return CachedProblems();
}

void SetTemplateFolders(const QStringList &folders)
{
    g_folders = folders;
    g_loaded = false;
    Cache().clear();
    CachedProblems().clear();
}

std::optional<TCardProduct> FindCardProduct(const QList<TCardProduct> &products, const QString &name)
{
    const QString wanted = name.simplified().toCaseFolded();
    for (const TCardProduct &p : products)
        if (Key(p.Brand, p.Part) == wanted)
            return p;
    return std::nullopt;
}

std::optional<TCardProduct> FindCardProduct(const QString &name) { return FindCardProduct(CardProducts(), name); }

void ApplyCardProduct(const TCardProduct &product, CardSheetLayout &layout)
{
    const CardSheetLayout &p = product.Layout;
    layout.Width = p.Width;
    layout.Height = p.Height;
    layout.Across = p.Across;
    layout.Down = p.Down;
    layout.LeftMargin = p.LeftMargin;
    layout.TopMargin = p.TopMargin;
    layout.HPitch = p.HPitch;
    layout.VPitch = p.VPitch;
    layout.Papersize = p.Papersize;
    layout.Brand = product.Brand;
    layout.Part = product.Part;
    layout.RoundedCorners = product.Rounded;
}

} // namespace labeltemplates
