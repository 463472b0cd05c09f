#include "support/TestData.h"
#include "ui/platform/Images.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QXmlStreamReader>
#include <QtTest>

#include <climits>
#include <functional>

using namespace tavlor::ui;

namespace {

struct ImageSet {
    const char* name;
    int count;
    QSize size;
    std::function<QIcon(int)> make;
};

const ImageSet Commands{"command", CommandImageCount, QSize(20, 16), [](int i) { return CommandImage(i); }};
const ImageSet Trees{"tree", TreeImageCount, QSize(16, 16), [](int i) { return TreeImage(i); }};

QImage Pixels(const QIcon& icon, QSize size, qreal ratio = 1) {
    return icon.pixmap(size, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Number of fairly opaque pixels for which the test holds.
int Count(const QImage& image, const std::function<bool(QColor)>& test) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.alpha() > 160 && test(c);
        }
    return n;
}

bool Red(QColor c) {
    return c.red() > 170 && c.green() < 90 && c.blue() < 90;
}
bool Dark(QColor c) {
    return c.lightness() < 90;
}
bool Green(QColor c) {
    return c.green() > 120 && c.red() < 100 && c.blue() < 100;
}
bool Blue(QColor c) {
    return c.blue() > 150 && c.red() < 120;
}
bool Yellow(QColor c) {
    return c.red() > 200 && c.green() > 170 && c.blue() < 120;
}
bool White(QColor c) {
    return c.lightness() > 235;
}

}  // namespace

class ImagesTest : public QObject {
    Q_OBJECT

private slots:
    void everyImageIsPaintedAtRatiosOneTwoAndThree() {
        for (const ImageSet& set : {Commands, Trees})
            for (int i = 0; i < set.count; ++i) {
                const QIcon icon = set.make(i);
                QVERIFY2(!icon.isNull(), qPrintable(QStringLiteral("%1 %2").arg(set.name).arg(i)));
                QCOMPARE(icon.actualSize(set.size), set.size);
                for (const int ratio : {1, 2, 3}) {
                    const QPixmap pixmap = icon.pixmap(set.size, ratio);
                    QCOMPARE(pixmap.size(), set.size * ratio);
                    QCOMPARE(pixmap.devicePixelRatio(), qreal(ratio));
                    QVERIFY(icon.availableSizes().contains(set.size * ratio));
                }
                // Drawn again at each ratio, not enlarged: the 3x picture has in-between
                // pixels that no 3x3 block copy of the 1x one would have.
                const QImage one = Pixels(icon, set.size, 1), three = Pixels(icon, set.size, 3);
                const QImage blown = one.scaled(three.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
                QVERIFY(three != blown);
            }
    }

    void indexesOutsideTheSetsGiveNullIcons() {
        for (const int index : {-1, INT_MIN, CommandImageCount, INT_MAX}) QVERIFY(CommandImage(index).isNull());
        for (const int index : {-1, INT_MIN, TreeImageCount, 100}) QVERIFY(TreeImage(index).isNull());
    }

    void aCommandThatCannotBeUsedShowsItsPictureGreyed() {
        for (const int i : {5, 0, 7}) {  // the red cross, the phase, the worksheet
            const QIcon icon = CommandImage(i);
            const QImage normal = icon.pixmap(QSize(20, 16), 1.0, QIcon::Normal).toImage();
            const QImage disabled = icon.pixmap(QSize(20, 16), 1.0, QIcon::Disabled).toImage();
            QVERIFY(normal != disabled);
            // No colour left, and fainter.
            int coloured = 0, opaque = 0, faint = 0;
            for (int y = 0; y < disabled.height(); ++y)
                for (int x = 0; x < disabled.width(); ++x) {
                    const QColor d = disabled.pixelColor(x, y), n = normal.pixelColor(x, y);
                    coloured += d.alpha() > 0 && (d.red() != d.green() || d.green() != d.blue()) ? 1 : 0;
                    opaque += n.alpha() > 0 ? 1 : 0;
                    faint += n.alpha() > 0 && d.alpha() < n.alpha() ? 1 : 0;
                }
            QCOMPARE(coloured, 0);
            QCOMPARE(faint, opaque);
        }
    }

    void iconsAreBuiltOnceAndShared() {
        QCOMPARE(CommandImage(7).cacheKey(), CommandImage(7).cacheKey());
        QCOMPARE(TreeImage(4).cacheKey(), TreeImage(4).cacheKey());
        QCOMPARE(ProgramIcon().cacheKey(), ProgramIcon().cacheKey());
        QVERIFY(CommandImage(7).cacheKey() != CommandImage(8).cacheKey());
        // By name: the same pictures.
        QCOMPARE(CommandImage(tavlor::TCommandImage::AddPhase).cacheKey(), CommandImage(0).cacheKey());
        QCOMPARE(CommandImage(tavlor::TCommandImage::Reload).cacheKey(), CommandImage(13).cacheKey());
        QVERIFY(CommandImage(tavlor::TCommandImage::None).isNull());
        QCOMPARE(TreeImage(TTreeImage::Phase).cacheKey(), TreeImage(0).cacheKey());
        QCOMPARE(TreeImage(TTreeImage::Formula3K).cacheKey(), TreeImage(8).cacheKey());
    }

    void noTwoImagesOfASetAlikeAndNoneNearlyEmpty() {
        for (const ImageSet& set : {Commands, Trees}) {
            QList<QImage> images;
            for (int i = 0; i < set.count; ++i) {
                images.append(Pixels(set.make(i), set.size));
                const int area = set.size.width() * set.size.height();
                QVERIFY2(Count(images.last(), [](QColor) { return true; }) > area / 12,
                         qPrintable(QStringLiteral("%1 %2 nearly empty").arg(set.name).arg(i)));
                for (int j = 0; j < i; ++j)
                    QVERIFY2(images[i] != images[j],
                             qPrintable(QStringLiteral("%1 %2 = %3").arg(set.name).arg(i).arg(j)));
            }
        }
    }

    void coloursOfTheSubjects() {
        const QSize command(20, 16), tree(16, 16);
        // The delete cross is red; only the hen's comb and the ticked head share red.
        QVERIFY(Count(Pixels(CommandImage(5), command), Red) > 20);
        QVERIFY(Count(Pixels(TreeImage(1), tree), Red) > 2);
        QVERIFY(Count(Pixels(TreeImage(5), tree), Red) > 6);
        QCOMPARE(Count(Pixels(TreeImage(2), tree), Red), 0);
        // The "add" images carry a green plus at the top-left, the others none there.
        for (int i = 0; i < CommandImageCount; ++i) {
            const QImage corner = Pixels(CommandImage(i), command).copy(0, 0, 8, 8);
            QCOMPARE(Count(corner, Green) >= 15, i <= 3);
        }
        // The focus marker: a black centre on a clear background.
        const QImage dot = Pixels(TreeImage(3), tree);
        QCOMPARE(dot.pixelColor(8, 8), QColor(Qt::black));
        QCOMPARE(dot.pixelColor(7, 7), QColor(Qt::black));
        QCOMPARE(dot.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(dot.pixelColor(15, 8).alpha(), 0);
        // The formulas are dark letters, the 2K and 3K wider in ink than the T.
        for (const QIcon& formula :
             {CommandImage(9), CommandImage(10), CommandImage(11), TreeImage(6), TreeImage(7), TreeImage(8)})
            QVERIFY(Count(Pixels(formula, formula.actualSize(command)), Dark) > 20);
        QVERIFY(Count(Pixels(TreeImage(7), tree), Dark) > Count(Pixels(TreeImage(6), tree), Dark));
        // The globe is blue, the arrows green, the pale pictures mostly white.
        QVERIFY(Count(Pixels(CommandImage(4), command), Blue) > 40);
        QVERIFY(Count(Pixels(CommandImage(13), command), Green) > 30);
        QVERIFY(Count(Pixels(CommandImage(12), command), Green) > 15);
        for (const int pale : {6, 7, 8, 12})
            QVERIFY2(Count(Pixels(CommandImage(pale), command), White) > 40, qPrintable(QString::number(pale)));
    }

    void programIconFromSixteenToTwoHundredFiftySixPixels() {
        const QIcon icon = ProgramIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 256}) QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        QVERIFY(ProgramPicture(0).isNull());
        QVERIFY(ProgramPicture(-5).isNull());
        for (const int size : {16, 256}) {
            const QImage picture = ProgramPicture(size).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(picture.size(), QSize(size, size));
            const int area = size * size;
            QVERIFY(Count(picture, Green) > area / 8);
            QVERIFY(Count(picture, Red) > area / 80);
            QVERIFY(Count(picture, Yellow) > area / 80);
            QVERIFY(Count(picture, White) > area / 120);
        }
    }

    void svgIconIsWellFormedAndHasTheThreeBalls() {
        QFile file(QString::fromStdString(tavlor::test::DataPath("../../data/icons/tavlor.svg")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList roots, ballFills;
        int depth = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (depth++ == 0) roots << xml.name().toString();
                if (xml.name() == QLatin1String("circle") && xml.attributes().hasAttribute("r"))
                    ballFills << xml.attributes().value("fill").toString();
            } else if (xml.isEndElement()) {
                --depth;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(roots, QStringList{"svg"});
        for (const char* fill : {"url(#white)", "url(#yellow)", "url(#red)"}) QVERIFY(ballFills.contains(fill));
    }

    // With TAVLOR_SCREENSHOTS_DIR set, writes images.png for a reviewer: each image enlarged 4x,
    // then as painted at ratios 1, 2 and 3, on white and on grey rows; then the program's icon.
    void contactSheet() {
        const QString folder = qEnvironmentVariable("TAVLOR_SCREENSHOTS_DIR");
        if (folder.isEmpty()) QSKIP("TAVLOR_SCREENSHOTS_DIR not set");
        constexpr int cellWidth = 80 + 4 + 20 + 4 + 40 + 4 + 60 + 8, cellHeight = 64 + 8, columns = 5;
        constexpr int iconsTop = 4 + 5 * cellHeight;
        QImage sheet(columns * cellWidth + 8, iconsTop + 256 + 8, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        auto native = [](const QIcon& icon, QSize size, int ratio) {
            QImage image = Pixels(icon, size, ratio);
            image.setDevicePixelRatio(1);
            return image;
        };
        auto cell = [&](int n, const QIcon& icon, QSize size) {
            const QPoint at(4 + (n % columns) * cellWidth, 4 + (n / columns) * cellHeight);
            const QColor back = (n / columns) % 2 ? QColor(0xd8, 0xd8, 0xd8) : QColor(Qt::white);
            p.fillRect(QRect(at, QSize(cellWidth - 4, cellHeight - 4)), back);
            p.drawImage(QRect(at, size * 4), native(icon, size, 1));
            p.drawImage(at + QPoint(84, 0), native(icon, size, 1));
            p.drawImage(at + QPoint(108, 0), native(icon, size, 2));
            p.drawImage(at + QPoint(152, 0), native(icon, size, 3));
        };
        for (int i = 0; i < CommandImageCount; ++i) cell(i, CommandImage(i), QSize(20, 16));
        for (int i = 0; i < TreeImageCount; ++i) cell(15 + i, TreeImage(i), QSize(16, 16));
        int x = 4;
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            p.drawPixmap(x, iconsTop, ProgramPicture(size));
            x += size + 8;
        }
        p.drawImage(QRect(x, iconsTop, 128, 128), ProgramPicture(16).toImage());
        p.end();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(sheet.save(QDir(folder).filePath("images.png")));
    }
};

QTEST_MAIN(ImagesTest)
#include "ImagesTest.moc"
