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
// Counts the readings of the library, so that what is made from it follows.
int g_readings = 0;

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
    if (BuiltIn >= 0)
        return sheetlayout::PredefinedLayoutNames().value(BuiltIn);
    QString text = Name();
    if (!Description.isEmpty())
        text += QStringLiteral(" - ") + Description;
    return text + QStringLiteral(" (") + PaperName + QLatin1Char(')');
}

bool TCardProduct::FitsBusinessCard() const { return IsBusinessCardSize(Layout.Width, Layout.Height); }

bool IsBusinessCardSize(double widthInches, double heightInches)
{
    const double longer = std::max(widthInches, heightInches);
    const double shorter = std::min(widthInches, heightInches);
    return longer >= 3.3 && longer <= 3.62 && shorter >= 1.9 && shorter <= 2.2;
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
        ++g_readings;
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

namespace {

// The built-in layout as card stock: Avery, its part number, its own text.
TCardProduct BuiltInProduct(int index)
{
    TCardProduct product;
    product.BuiltIn = index;
    product.Brand = QStringLiteral("Avery");
    product.Part = sheetlayout::PredefinedLayoutPart(index);
    sheetlayout::ApplyPredefinedLayout(index, product.Layout);
    product.Layout.PredefLayout = index;
    // "Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)" says
    // "Business Card Ink Jet - Ivory" of itself.
    const QString text = sheetlayout::PredefinedLayoutNames().value(index);
    QString description = text.left(text.indexOf(QStringLiteral(" ("))).mid(product.Brand.size() + 1);
    description.replace(product.Part + QLatin1Char(' '), QString()).remove(QLatin1Char(' ') + product.Part);
    product.Description = description.simplified();
    product.PaperName = product.Layout.Papersize == 9 ? QStringLiteral("A4") : QStringLiteral("US Letter");
    product.BusinessCard = true;
    return product;
}

// A size written in a search and the units it may be in.
struct TSearchedSize {
    double first = 0.0, second = 0.0;
    QList<double> unitsPerInch; // 1 for inches, 25.4 for millimetres, ...
};

bool SameSize(double a, double b, double cardA, double cardB, double tolerance)
{
    return std::abs(a - cardA) <= tolerance && std::abs(b - cardB) <= tolerance;
}

bool SizeMatches(const CardSheetLayout &l, const TSearchedSize &size)
{
    for (const double perInch : size.unitsPerInch) {
        // Half a millimetre, or two hundredths of an inch.
        const double tolerance = perInch > 1.0 ? 0.5 * perInch / 25.4 : 0.02;
        const double w = l.Width * perInch, h = l.Height * perInch;
        if (SameSize(size.first, size.second, w, h, tolerance) || SameSize(size.first, size.second, h, w, tolerance))
            return true;
    }
    return false;
}

// Takes the sizes out of a search, leaving its words.
QList<TSearchedSize> TakeSizes(QString &search)
{
    static const QRegularExpression pattern(
        QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*(?:x|\u00d7|\\*)\\s*(\\d+(?:[.,]\\d+)?)\\s*(mm|cm|inches|inch|in|\")?(?![a-z])"),
        QRegularExpression::CaseInsensitiveOption);
    QList<TSearchedSize> sizes;
    QRegularExpressionMatch m;
    while ((m = pattern.match(search)).hasMatch()) {
        TSearchedSize size;
        size.first = QString(m.captured(1)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        size.second = QString(m.captured(2)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        const QString unit = m.captured(3).toLower();
        if (unit == QLatin1String("mm"))
            size.unitsPerInch = {25.4};
        else if (unit == QLatin1String("cm"))
            size.unitsPerInch = {2.54};
        else if (!unit.isEmpty())
            size.unitsPerInch = {1.0};
        else
            size.unitsPerInch = {1.0, 25.4};
        sizes << size;
        search.remove(m.capturedStart(), m.capturedLength());
    }
    return sizes;
}

} // namespace

QList<TCardProduct> CardStock(const QList<TCardProduct> &library)
{
    QList<TCardProduct> stock;
    QSet<QString> builtIn;
    for (int i = 0; i < sheetlayout::kPredefinedLayoutCount; ++i) {
        stock << BuiltInProduct(i);
        builtIn.insert(Key(stock.last().Brand, stock.last().Part));
    }
    for (const TCardProduct &p : library)
        if (!builtIn.contains(Key(p.Brand, p.Part)))
            stock << p;
    return stock;
}

const QList<TCardProduct> &CardStock()
{
    static QList<TCardProduct> stock;
    static int madeFromReading = -1;
    const QList<TCardProduct> &library = CardProducts();
    if (madeFromReading != g_readings) {
        stock = CardStock(library);
        madeFromReading = g_readings;
    }
    return stock;
}

bool MatchesSearch(const TCardProduct &product, const QString &search)
{
    QString words = search;
    for (const TSearchedSize &size : TakeSizes(words))
        if (!SizeMatches(product.Layout, size))
            return false;
    const QString text = (product.ItemText() + QLatin1Char(' ') + product.Name() + QLatin1Char(' ')
                          + product.Description + QLatin1Char(' ') + product.PaperName)
                             .toCaseFolded();
    for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!text.contains(word.toCaseFolded()))
            return false;
    return true;
}

TCardStockMatch FindCardStock(const QList<TCardProduct> &stock, const QString &name)
{
    TCardStockMatch match;
    if (std::optional<TCardProduct> found = FindCardProduct(stock, name)) {
        match.Found = found;
        return match;
    }
    const QString wanted = name.simplified().toCaseFolded();
    for (const TCardProduct &p : stock)
        if (p.Part.simplified().toCaseFolded() == wanted)
            match.Candidates << p;
    if (match.Candidates.size() == 1) {
        match.Found = match.Candidates.first();
        match.Candidates.clear();
    }
    return match;
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
    if (product.BuiltIn >= 0) {
        sheetlayout::ApplyPredefinedLayout(product.BuiltIn, layout);
        layout.PredefLayout = product.BuiltIn;
        layout.Brand.clear();
        layout.Part.clear();
        layout.RoundedCorners = false;
        return;
    }
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
