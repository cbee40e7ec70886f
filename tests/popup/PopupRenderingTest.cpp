#include "tests/popup/PopupFixture.h"

#include "popup/OleColor.h"
#include "popup/TextFitter.h"

#include <QElapsedTimer>

#include <limits>

namespace lumora::test {

namespace {

using RenderingTest = PopupFixture;

// True when two colours differ by at most a few steps per channel (gradient rounding).
::testing::AssertionResult near(QRgb actual, QColor expected, int tolerance = 6)
{
    const QColor a(actual);
    if (std::abs(a.red() - expected.red()) <= tolerance && std::abs(a.green() - expected.green()) <= tolerance
        && std::abs(a.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a.name().toStdString() << " is not near " << expected.name().toStdString();
}

QImage showTest(PopupWindowsManager &manager, PopupWindow &p)
{
    manager.PlaceAndShowTest(p);
    QImage image = p.surfaceImage().toImage();
    p.Unload();
    return image;
}

struct Orientation
{
    qint32 value;
    bool horizontal;
};

class GradientTest : public PopupFixture, public ::testing::WithParamInterface<Orientation>
{};

TEST_P(GradientTest, RunsFromColourOneToColourTwo)
{
    PopupWindow &p = window();
    p.setPopupPicture(nullptr);
    p.setGradientColor1(OleColor::rgb(200, 0, 0));
    p.setGradientColor2(OleColor::rgb(0, 0, 200));
    p.setGradientOrientation(GetParam().value);
    const QImage image = showTest(manager, p);
    ASSERT_EQ(image.size(), QSize(200, 120));
    const QPoint startPoint = GetParam().horizontal ? QPoint(0, 60) : QPoint(100, 0);
    const QPoint endPoint = GetParam().horizontal ? QPoint(199, 60) : QPoint(100, 119);
    const QPoint across = GetParam().horizontal ? QPoint(0, 119) : QPoint(199, 0);
    EXPECT_TRUE(near(image.pixel(startPoint), QColor(200, 0, 0)));
    EXPECT_TRUE(near(image.pixel(endPoint), QColor(0, 0, 200)));
    EXPECT_TRUE(near(image.pixel(across), QColor(200, 0, 0)));
}

INSTANTIATE_TEST_SUITE_P(Orientations, GradientTest,
                         ::testing::Values(Orientation{0, true}, Orientation{1, false}, Orientation{2, false},
                                           Orientation{-1, false}));

TEST_F(RenderingTest, DefaultPictureIsPaintedOpaqueAtItsPosition)
{
    PopupWindow &p = window();
    const QImage picture = style.picture->image.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(30, 30));
    const QImage image = showTest(manager, p);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(image.pixel(1 + x, 2 + y) | 0xFF000000u, picture.pixel(x, y)) << x << "," << y;
}

TEST_F(RenderingTest, MaskColourPixelsShowTheBackground)
{
    PopupWindow &p = window();
    p.setGradientColor1(OleColor::rgb(255, 255, 255));
    p.setGradientColor2(OleColor::rgb(255, 255, 255));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(3, 3, qRgb(0, 255, 0));
    picture.setPixel(4, 5, qRgb(0, 255, 0));
    picture.setPixel(5, 5, qRgb(0, 254, 0)); // almost green stays
    p.setPopupPicture(Picture::bitmap(picture));

    QImage image = showTest(manager, p);
    EXPECT_EQ(QColor(image.pixel(1 + 3, 2 + 3)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(image.pixel(1 + 4, 2 + 5)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(image.pixel(1 + 5, 2 + 5)), QColor(0, 254, 0));
    EXPECT_EQ(QColor(image.pixel(1 + 0, 2 + 0)), QColor(10, 20, 30));

    p.setUseMaskColor(false);
    image = showTest(manager, p);
    EXPECT_EQ(QColor(image.pixel(1 + 3, 2 + 3)), QColor(0, 255, 0));

    p.setPopupPicture(std::make_shared<Picture>(Picture{Picture::Kind::Metafile, picture}));
    image = showTest(manager, p);
    EXPECT_EQ(QColor(image.pixel(1, 2)), QColor(255, 255, 255));
}

TEST_F(RenderingTest, DurationKeepsItsValueWhenRefused)
{
    PopupWindow &p = window();
    EXPECT_TRUE(p.setDuration(4000));
    for (qint32 bad : {70000, -1, 65536}) {
        EXPECT_FALSE(p.setDuration(bad));
        EXPECT_EQ(p.Duration(), 4000);
        EXPECT_EQ(p.lastError().number, 1000);
        EXPECT_EQ(p.lastError().description, "Invalid duration. Must be greater than 0 and smaller than 65535.");
        EXPECT_EQ(p.lastError().source, "PopupWindowInfo");
    }
    EXPECT_TRUE(p.setDuration(0));
    EXPECT_TRUE(p.setDuration(65535));
}

TEST_F(RenderingTest, FontsAreCopiedInAndHandedOutByReference)
{
    PopupWindow &p = window();
    QFont other(QStringLiteral("Serif"));
    other.setPointSizeF(14);
    other.setItalic(true);
    p.setMessageFont(other);
    other.setBold(true);
    EXPECT_FALSE(p.MessageFont().bold());
    EXPECT_TRUE(p.MessageFont().italic());
    EXPECT_DOUBLE_EQ(p.MessageFont().pointSizeF(), 14);

    p.MessageFont().setUnderline(true);
    EXPECT_TRUE(p.MessageFont().underline());

    p.setMessageFontOver(static_cast<const QFont *>(nullptr));
    EXPECT_TRUE(p.MessageFontOver().underline());
}

TEST_F(RenderingTest, TextsAreFittedIntoTheirBoxes)
{
    PopupWindow &p = window();
    const QString longSender = QStringLiteral("a.very.long.sender.address.that.cannot.fit@some.example.org");
    add(longSender, "Short");
    add("", "");
    manager.PlaceAndShow(p);
    const QString shown = text("lblFrom");
    EXPECT_TRUE(shown.endsWith("...")) << shown.toStdString();
    EXPECT_TRUE(longSender.startsWith(shown.chopped(3)));
    EXPECT_EQ(text("lblMessage"), "Short");
    clock.advance(4750);
    EXPECT_EQ(text("lblFrom"), "");
    EXPECT_EQ(text("lblMessage"), "");
}

struct Hostile
{
    const char *name;
    QString text;
};

class HostileTextTest : public PopupFixture, public ::testing::WithParamInterface<Hostile>
{};

TEST_P(HostileTextTest, IsShownAsPlainFittedTextQuickly)
{
    PopupWindow &p = window();
    const QString input = GetParam().text;
    add(input, input, 1, input);
    manager.PlaceAndShow(p);
    for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
        QLabel *l = label(name);
        EXPECT_EQ(l->textFormat(), Qt::PlainText);
        EXPECT_LE(l->text().size(), TextFitter::MaxMeasured + 3);
        for (QChar c : l->text())
            EXPECT_NE(c.category(), QChar::Other_Control);
    }

    const QFont font = p.MessageFont();
    // The best of several runs, so a busy machine does not fail the test.
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        TextFitter::fit(input, font, QSize(135, 43));
        best = std::min(best, timer.nsecsElapsed());
    }
    // Under a millisecond per field; sanitizer builds get some slack.
#if defined(__SANITIZE_ADDRESS__)
    const qint64 budgetNs = 10'000'000;
#else
    const qint64 budgetNs = 1'000'000;
#endif
    EXPECT_LT(best, budgetNs);
}

QString repeated(const QString &unit, int count)
{
    return unit.repeated(count);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileTextTest,
    ::testing::Values(Hostile{"huge", repeated("x", 100000)}, Hostile{"hugeWords", repeated("word ", 20000)},
                      Hostile{"html", QStringLiteral("<b>bold</b> <img src=x onerror=alert(1)> &amp;")},
                      Hostile{"rtl",
                              QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd \u202e\u0645\u0631\u062d\u0628\u0627")},
                      Hostile{"combining", "a" + repeated(QString(QChar(0x0301)), 5000)},
                      Hostile{"emoji", repeated(QString::fromUtf8("\U0001F600\U0001F469\u200D\U0001F4BB"), 3000)},
                      Hostile{"controls", QString::fromUtf8("line\r\nbreak\ttab\x01\x1b[31m\u2028end")},
                      Hostile{"invalidUtf8", QString::fromUtf8("\xff\xfe\xc3(\xe2\x82 ok")},
                      Hostile{"loneSurrogates", QString(QChar(0xD800)) + "x" + QChar(0xDC00)}),
    [](const ::testing::TestParamInfo<Hostile> &row) { return std::string(row.param.name); });

TEST(TextFitterTest, FitsOrShortensWithEllipsis)
{
    QFont font = PopupStyle::defaultMessageFont();
    EXPECT_EQ(TextFitter::fit("", font, QSize(135, 13)), "");
    EXPECT_EQ(TextFitter::fit("Inbox", font, QSize(135, 13)), "Inbox");
    const QString fitted = TextFitter::fit(QString("word ").repeated(100), font, QSize(135, 43));
    EXPECT_TRUE(fitted.endsWith("..."));
    EXPECT_LT(fitted.size(), 150);
    // Cut text never ends in half a surrogate pair.
    const QString emoji = TextFitter::sanitize(QString::fromUtf8("\U0001F600").repeated(TextFitter::MaxMeasured));
    EXPECT_FALSE(emoji.back().isHighSurrogate());
}

// Characters that draw nothing can hide text or split a word unseen ("pay\u00ADpal"); they
// go, and the visible characters around them stay.
TEST(TextFitterTest, DropsSoftHyphensAndTagCharacters)
{
    EXPECT_EQ(TextFitter::sanitize(QStringLiteral("pay\u00ADpal")), QStringLiteral("paypal"));
    QString tagged = QStringLiteral("ok");
    for (char32_t code : {U'\U000E0001', U'\U000E0041', U'\U000E007F'})
        tagged += QString::fromUcs4(&code, 1);
    tagged += QStringLiteral("!");
    EXPECT_EQ(TextFitter::sanitize(tagged), QStringLiteral("ok!"));
    // Neighbours in the same planes are real characters and stay.
    const char32_t kept[] = {U'\U000E0100', U'\U0001F600'};
    EXPECT_EQ(TextFitter::sanitize(QString::fromUcs4(kept, 2)), QString::fromUcs4(kept, 2));
    EXPECT_EQ(TextFitter::sanitize(QStringLiteral("\u00AC\u00AE")), QStringLiteral("\u00AC\u00AE"));
}

} // namespace

} // namespace lumora::test
