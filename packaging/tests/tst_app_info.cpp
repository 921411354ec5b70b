// The icon's files against their XPM sources, and what the running program
// tells the desktop about itself: names, version "0.01", window icon.
#include <QtTest>

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <array>

#include "app_info.hpp"
#include "qt_start.hpp"

namespace {

QString source(const QString& name) { return QStringLiteral(KVIX_ICON_SOURCE_DIR "/") + name; }

// ARGB32 with every fully transparent pixel made 0, so that two images
// compare equal when they show the same.
QImage normalized(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(out.pixel(x, y)) == 0)
                out.setPixel(x, y, 0);
    return out;
}

// The first pixel where two images differ, as text, or an empty string.
QString first_difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QStringLiteral("size %1x%2 against %3x%4")
            .arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel (%1, %2): #%3 against #%4")
                    .arg(x).arg(y).arg(a.pixel(x, y), 8, 16, QLatin1Char('0'))
                    .arg(b.pixel(x, y), 8, 16, QLatin1Char('0'));
    return {};
}

// The 16 colours of the standard VGA palette; black and white are the
// two-colour palette.
const QSet<QRgb> kVga16{
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080,
    0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
    0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};
const QSet<QRgb> kMono{0xff000000, 0xffffffff};
constexpr QRgb kCyan = 0xff00ffff;

} // namespace

class tst_AppInfo : public QObject {
    Q_OBJECT

private slots:
    void iconSources_data();
    void iconSources();
    void windowsIcon();
    void iconToolRefuses_data();
    void iconToolRefuses();
    void themePngs_data();
    void themePngs();
    void applicationNamesAndVersion();
    void windowIconCompiledIn();
    void windowIconAfterFirstPaint();
};

void tst_AppInfo::iconSources_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("colours");
    QTest::newRow("32x32, 2 colours") << "quendral-32-2colour.xpm" << 32 << 2;
    QTest::newRow("32x32, 16 colours") << "quendral-32-16colour.xpm" << 32 << 16;
    QTest::newRow("16x16, 16 colours") << "quendral-16-16colour.xpm" << 16 << 16;
}

// Each image has its size, draws only with its palette's colours on a fully
// transparent ground, and the coloured ones show the cyan title bar.
void tst_AppInfo::iconSources() {
    QFETCH(QString, file);
    QFETCH(int, size);
    QFETCH(int, colours);
    const QImage image = normalized(QImage(source(file)));
    QVERIFY2(!image.isNull(), qPrintable(source(file)));
    QCOMPARE(image.size(), QSize(size, size));
    const QSet<QRgb>& palette = colours == 2 ? kMono : kVga16;
    QSet<QRgb> used;
    int transparent = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == 0) {
                ++transparent;
                continue;
            }
            QVERIFY2(palette.contains(pixel),
                     qPrintable(QStringLiteral("(%1, %2) is #%3").arg(x).arg(y).arg(pixel, 8, 16)));
            used.insert(pixel);
        }
    QVERIFY(transparent > 0);         // the picture does not fill the square
    QVERIFY(used.size() >= 2);        // and is a picture, not a patch of one colour
    if (colours == 16)
        QVERIFY(used.contains(kCyan));
}

// The .ico holds the three images in order, stored with 1, 4 and 4 bits a
// pixel, and Qt's own icon reader decodes each to its source pixel for pixel.
void tst_AppInfo::windowsIcon() {
    QFile file(QStringLiteral(KVIX_ICO_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes.at(i)); };
    const auto word = [&](int i) { return byte(i) | byte(i + 1) << 8; };
    // Directory: reserved 0, type 1 (icon), count; then 16-byte entries of
    // width, height, colour count, reserved, planes (2 bytes), bits (2 bytes), ...
    QVERIFY(bytes.size() > 6 + 3 * 16);
    QCOMPARE(word(0), 0);
    QCOMPARE(word(2), 1);
    QCOMPARE(word(4), 3);
    const std::array<std::array<int, 3>, 3> expected{{{32, 2, 1}, {32, 16, 4}, {16, 16, 4}}};
    const std::array<QString, 3> sources{"quendral-32-2colour.xpm", "quendral-32-16colour.xpm",
                                         "quendral-16-16colour.xpm"};
    for (int i = 0; i < 3; ++i) {
        const int entry = 6 + 16 * i;
        const auto [size, colours, bits] = expected[static_cast<std::size_t>(i)];
        QCOMPARE(byte(entry), size);
        QCOMPARE(byte(entry + 1), size);
        QCOMPARE(byte(entry + 2), colours);
        QCOMPARE(word(entry + 6), bits);
    }

    QImageReader reader(file.fileName(), "ico");
    QCOMPARE(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage decoded = reader.read();
        QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
        const QString source_file = sources[static_cast<std::size_t>(i)];
        const QString diff = first_difference(normalized(decoded), normalized(QImage(source(source_file))));
        QVERIFY2(diff.isEmpty(), qPrintable(source_file + QStringLiteral(": ") + diff));
    }
}

// The icon tool stores an image only in a palette that holds all its
// colours, so that a changed source cannot lose colours unnoticed.
void tst_AppInfo::iconToolRefuses_data() {
    QTest::addColumn<QString>("image"); // BITS:FILE, FILE relative to the sources
    QTest::addColumn<bool>("accepted");
    QTest::newRow("2 colours in 1 bit") << "1:quendral-32-2colour.xpm" << true;
    QTest::newRow("2 colours in 4 bits") << "4:quendral-32-2colour.xpm" << true;
    QTest::newRow("16 colours in 1 bit") << "1:quendral-32-16colour.xpm" << false;
    QTest::newRow("orange, no VGA colour") << "4:@orange" << false;
    QTest::newRow("half transparent") << "4:@half" << false;
    QTest::newRow("8 bits") << "8:quendral-16-16colour.xpm" << false;
    QTest::newRow("no such file") << "4:missing.xpm" << false;
}

void tst_AppInfo::iconToolRefuses() {
    QFETCH(QString, image);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // "@name": a 2x2 image made here, with one pixel of a colour the
    // 16-colour palette lacks or with partial transparency.
    QString file = image.mid(2);
    if (file.startsWith(QLatin1Char('@'))) {
        QImage picture(2, 2, QImage::Format_ARGB32);
        picture.fill(0xff000000);
        picture.setPixel(1, 1, file == QLatin1String("@orange") ? 0xffff8000 : 0x80000000);
        const QString made = dir.filePath(file.mid(1) + QStringLiteral(".png"));
        QVERIFY(picture.save(made));
        file = made;
    } else {
        file = source(file);
    }
    QProcess tool;
    tool.start(QStringLiteral(KVIX_ICON_TOOL),
               {QStringLiteral("ico"), dir.filePath(QStringLiteral("out.ico")), image.left(2) + file});
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode() == 0, accepted);
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("out.ico"))), accepted);
    if (!accepted)
        QVERIFY(!tool.readAllStandardError().isEmpty()); // and says why
}

void tst_AppInfo::themePngs_data() {
    QTest::addColumn<QString>("png");
    QTest::addColumn<QString>("xpm");
    QTest::newRow("16x16") << KVIX_PNG_16 << "quendral-16-16colour.xpm";
    QTest::newRow("32x32") << KVIX_PNG_32 << "quendral-32-16colour.xpm";
}

void tst_AppInfo::themePngs() {
    QFETCH(QString, png);
    QFETCH(QString, xpm);
    QImageReader reader(png);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY(image.hasAlphaChannel());
    const QString diff = first_difference(normalized(image), normalized(QImage(source(xpm))));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_AppInfo::applicationNamesAndVersion() {
    kvix::apply_app_names(kvix::kAppInfo);
    QCOMPARE(QCoreApplication::applicationVersion(), QString("0.01"));
    QCOMPARE(QCoreApplication::applicationName(), QString("kvix-quendral"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString("KVIX Quendral"));
    QCOMPARE(QGuiApplication::desktopFileName(), QString("org.kvix.quendral"));
}

// The window icon comes from the resources compiled into the program, at
// 16 and 32 pixels, and shows the same picture as the sources.
void tst_AppInfo::windowIconCompiledIn() {
    kvix::apply_app_icon(kvix::kAppInfo);
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)),
             qPrintable(QStringLiteral("%1 sizes").arg(sizes.size())));
    for (const auto& [size, file] : {std::pair{16, "quendral-16-16colour.xpm"},
                                     std::pair{32, "quendral-32-16colour.xpm"}}) {
        const QImage shown = icon.pixmap(QSize(size, size), 1.0).toImage();
        const QString diff = first_difference(normalized(shown), normalized(QImage(source(file))));
        QVERIFY2(diff.isEmpty(), qPrintable(QString(file) + QStringLiteral(": ") + diff));
    }
}

// The program's window is shown before the icon is read; the application
// and the window have the icon once the window has painted.
void tst_AppInfo::windowIconAfterFirstPaint() {
    QApplication::setWindowIcon(QIcon());
    QWidget window;
    window.resize(100, 50);
    kvix::show_main_window(window, kvix::kAppInfo);
    QVERIFY(QApplication::windowIcon().isNull());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(!QApplication::windowIcon().isNull());
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
}

QTEST_MAIN(tst_AppInfo)
#include "tst_app_info.moc"
