// Skinned controls: picture button, label, picture, pager, scrolled picture view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/UiTestSupport.h"
#include "tools/skingen/GifWriter.h"
#include "ui/controls/CScrollBitmapWnd.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTDialog.h"
#include "ui/controls/CTMultiPages.h"
#include "ui/controls/CTPicture.h"
#include "ui/controls/CTStatic.h"
#include "ui/controls/PageTurn.h"
#include "ui/controls/SkinFont.h"

using uitest::Near;
using uitest::WriteImage;

namespace {

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        uitest::UseShippedLook();
        host.m_bFill = true;
        host.m_fillColor = kHostColor;
        host.resize(400, 300);
    }

    const QColor kHostColor = QColor(10, 120, 200);
    QTemporaryDir dir;
    CTDialog host{nullptr, false};
};

// ---- picture button ----

struct CaptionCase {
    int alignment;
    int offset;
    QSize button;
    QSize text;
    QPoint expected;
};

TEST(CaptionPosition, FollowsTheAlignmentCodesAndClampsToTheButton) {
    const CaptionCase cases[] = {
        {256, 50, {135, 45}, {60, 17}, {52, 14}},  // left with offset
        {512, 10, {135, 45}, {60, 17}, {63, 14}},  // right: W - offset - tw - 2
        {768, 0, {101, 45}, {20, 17}, {40, 14}},   // centred, halves rounded toward zero
        {1024, 0, {135, 45}, {60, 17}, {0, 0}},    // top-left
        {1792, 0, {135, 45}, {60, 17}, {37, 0}},   // top centre
        {2048, 0, {135, 45}, {60, 17}, {0, 28}},   // bottom-left
        {2816, 0, {135, 45}, {60, 17}, {37, 28}},  // bottom centre
        {999, 7, {135, 45}, {60, 17}, {0, 0}},     // unknown code: top-left
        {768, 0, {80, 20}, {120, 30}, {0, 0}},     // wider and higher than the button
        {512, 0, {80, 20}, {100, 10}, {0, 5}},     // right, negative x clamped
    };
    for (const CaptionCase& c : cases) {
        EXPECT_EQ(CTButtonPicture::CaptionPosition(c.alignment, c.offset, c.button, c.text),
                  c.expected)
            << "alignment " << c.alignment;
    }
}

// The caption is painted where the alignment puts it, in the font the button uses.
TEST_F(ControlsTest, CaptionIsDrawnAtItsAlignedPosition) {
    auto* button = new CTButtonPicture(&host);
    button->setGeometry(20, 20, 200, 45);
    button->setText("Wide caption");
    button->m_normalTextColor = QColor(255, 0, 0);
    for (int alignment : {CTButtonPicture::kAlignLeft, CTButtonPicture::kAlignRight}) {
        button->SetAlignment(alignment);
        button->SetOffset(30);
        const QImage shot = button->grab().toImage();
        int minX = shot.width(), maxX = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (Near(shot.pixel(x, y), QColor(255, 0, 0), 80)) {
                    minX = qMin(minX, x);
                    maxX = qMax(maxX, x);
                }
        ASSERT_GE(maxX, 0) << "no caption drawn";
        const QFontMetrics metrics(button->CaptionFont());
        const int tw = metrics.horizontalAdvance("Wide caption");
        if (alignment == CTButtonPicture::kAlignLeft) {
            EXPECT_NEAR(minX, 32, 3);
        } else {
            EXPECT_NEAR(maxX, 200 - 30 - 2, 3) << "text width " << tw;
        }
    }
}

TEST_F(ControlsTest, ImageIsStretchedOnlyWhenLargerThanTheButton) {
    const QColor imageColor(250, 200, 0);
    auto* button = new CTButtonPicture(&host);
    button->setGeometry(10, 10, 100, 40);

    const QString big = WriteImage(dir, "big.bmp", {120, 30}, imageColor);
    button->SetStateImages(big, big, big, big);
    EXPECT_EQ(button->ImageRect(CTButtonPicture::Normal), QRect(0, 0, 100, 40));
    QImage shot = host.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(10 + 99, 10 + 39), imageColor));

    const QString small = WriteImage(dir, "small.bmp", {80, 20}, imageColor);
    button->SetStateImages(small, small, small, small);
    EXPECT_EQ(button->ImageRect(CTButtonPicture::Normal), QRect(0, 0, 80, 20));
    shot = host.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(10 + 5, 10 + 5), imageColor));
    // Around the image the window behind shows.
    EXPECT_TRUE(Near(shot.pixel(10 + 90, 10 + 30), kHostColor));
}

TEST_F(ControlsTest, StateImagesStopAtTheFirstMissingFile) {
    auto* button = new CTButtonPicture(&host);
    const QString a = WriteImage(dir, "a.bmp", {10, 10}, Qt::red);
    button->SetStateImages(a, dir.filePath("missing.bmp"), a, a);
    EXPECT_FALSE(button->StateImage(CTButtonPicture::Normal).isNull());
    EXPECT_TRUE(button->StateImage(CTButtonPicture::Hover).isNull());
    EXPECT_TRUE(button->StateImage(CTButtonPicture::Pressed).isNull());
    EXPECT_TRUE(button->StateImage(CTButtonPicture::Disabled).isNull());
}

TEST_F(ControlsTest, HoverStartsOnEnterAndEndsWhenTheCursorIsGone) {
    host.show();
    auto* button = new CTButtonPicture(&host);
    button->setGeometry(10, 10, 100, 40);
    button->show();
    const QString n = WriteImage(dir, "n.bmp", {100, 40}, QColor(0, 200, 0));
    const QString h = WriteImage(dir, "h.bmp", {100, 40}, QColor(200, 0, 200));
    button->SetStateImages(n, h, n, n);

    QCursor::setPos(button->mapToGlobal(QPoint(50, 20)));
    QTest::mouseMove(button, QPoint(50, 20));
    EXPECT_EQ(button->CurrentState(), CTButtonPicture::Hover);
    EXPECT_TRUE(Near(button->grab().toImage().pixel(50, 20), QColor(200, 0, 200)));

    // The cursor leaves without a leave notice: the button's own check notices.
    QCursor::setPos(button->mapToGlobal(QPoint(500, 500)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->IsHovered(); }, 500));
    EXPECT_EQ(button->CurrentState(), CTButtonPicture::Normal);

    button->setEnabled(false);
    EXPECT_EQ(button->CurrentState(), CTButtonPicture::Disabled);
}

TEST_F(ControlsTest, SelectedButtonStaysPressedAndBold) {
    auto* button = new CTButtonPicture(&host);
    button->setGeometry(0, 0, 100, 40);
    const QString n = WriteImage(dir, "n.bmp", {100, 40}, QColor(0, 200, 0));
    const QString p = WriteImage(dir, "p.bmp", {100, 40}, QColor(0, 0, 220));
    button->SetStateImages(n, n, p, n);
    button->setText("Page");
    EXPECT_EQ(button->CaptionFont().weight(), QFont::Normal);
    button->SetSelected(true);
    EXPECT_EQ(button->CaptionFont().weight(), QFont::Bold);
    EXPECT_TRUE(Near(button->grab().toImage().pixel(2, 2), QColor(0, 0, 220)));
}

// ---- label ----

TEST_F(ControlsTest, LabelShowsTheWindowBehindAndPlainText) {
    auto* label = new CTStatic(&host);
    label->setGeometry(10, 10, 300, 30);
    label->SetStaticLook("Arial", 0, 15, Qt::black, QColor(255, 255, 255));
    label->setText("<b>x</b>");
    const QImage shot = host.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(10 + 290, 10 + 2), kHostColor));
    // Markup is shown as written, never interpreted: all eight characters take room.
    EXPECT_GT(label->sizeHint().width(), QFontMetrics(label->font()).horizontalAdvance("x") * 5);
}

// ---- picture ----

QString WriteGif(const QTemporaryDir& dir, const QString& name, int delay) {
    QList<skingen::GifFrame> frames;
    const QColor colors[3] = {Qt::red, Qt::green, Qt::blue};
    for (const QColor& c : colors) {
        QImage img(8, 6, QImage::Format_RGB32);
        img.fill(c);
        frames.append({img, delay});
    }
    const QByteArray data =
        skingen::WriteGif(frames, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    const QString path = dir.filePath(name);
    uitest::WriteFile(path, data);
    return path;
}

TEST_F(ControlsTest, AnimatedPictureUsesFrameDelaysWithAFloorForShortOnes) {
    struct Case {
        int delay;
        int interval;
    } cases[] = {{3, 100}, {4, 100}, {5, 50}, {20, 200}};
    for (const Case& c : cases) {
        CTPicture picture(&host);
        ASSERT_TRUE(
            picture.LoadPictureFile(WriteGif(dir, QString("d%1.gif").arg(c.delay), c.delay)));
        EXPECT_TRUE(picture.IsGif());
        EXPECT_EQ(picture.FrameCount(), 3);
        EXPECT_EQ(picture.size(), QSize(8, 6));
        EXPECT_FALSE(picture.DrawPicture());  // an animation starts instead of a still
        EXPECT_TRUE(picture.IsAnimating());
        EXPECT_EQ(picture.CurrentFrameInterval(), c.interval) << "delay " << c.delay;
    }
}

TEST_F(ControlsTest, AnimationAdvancesFramesAndStops) {
    CTPicture picture(&host);
    ASSERT_TRUE(picture.LoadPictureFile(WriteGif(dir, "a.gif", 5)));
    picture.DrawPicture();
    EXPECT_TRUE(Near(picture.Surface().pixel(1, 1), Qt::red));
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.CurrentFrame() == 2; }, 2000));
    EXPECT_TRUE(Near(picture.Surface().pixel(1, 1), Qt::blue));
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.CurrentFrame() == 0; }, 2000));  // loops
    picture.StopAnimation();
    EXPECT_FALSE(picture.IsAnimating());
}

TEST_F(ControlsTest, StillPictureTakesItsSizeAndAMissingOneFails) {
    CTPicture picture(&host);
    picture.move(7, 9);
    ASSERT_TRUE(picture.LoadPictureFile(WriteImage(dir, "line.bmp", {300, 2}, Qt::gray)));
    EXPECT_EQ(picture.geometry(), QRect(7, 9, 300, 2));
    EXPECT_TRUE(picture.DrawPicture());
    EXPECT_FALSE(picture.LoadPictureFile(dir.filePath("none.bmp")));
    EXPECT_FALSE(picture.DrawPicture());
}

// ---- pager ----

TEST(PagerButtons, ShowAtMostSevenWithEllipses) {
    const struct {
        int count, current;
        std::vector<int> buttons;  // 0 = "..."
    } cases[] = {
        {0, 1, {}},
        {2, 1, {1, 2}},
        {7, 4, {1, 2, 3, 4, 5, 6, 7}},
        {9, 4, {1, 2, 3, 4, 5, 0, 9}},
        {9, 5, {1, 0, 4, 5, 6, 0, 9}},
        {9, 6, {1, 0, 5, 6, 7, 8, 9}},
        {9, 9, {1, 0, 5, 6, 7, 8, 9}},
        {8, 5, {1, 0, 4, 5, 6, 7, 8}},
        {100, 50, {1, 0, 49, 50, 51, 0, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTMultiPages::PageButtons(c.count, c.current), c.buttons)
            << c.count << " pages, on " << c.current;
}

class PageTurnRecorder : public QObject {
  public:
    std::vector<std::pair<int, int>> turns;
    bool event(QEvent* e) override {
        if (e->type() != CPageTurnEvent::kType) return QObject::event(e);
        const auto* turn = static_cast<CPageTurnEvent*>(e);
        turns.emplace_back(turn->PageId(), turn->Value());
        return true;
    }
};

TEST_F(ControlsTest, PagerReportsOnlyOtherPageNumbers) {
    PageTurnRecorder container;
    auto* pager = new CTMultiPages(&host);
    pager->setGeometry(0, 0, 300, 23);
    pager->BindPager(&container, 134);
    pager->SetPageCount(9);
    pager->SetCurrentPage(1);
    auto click = [&](int index) {
        QTest::mouseClick(pager, Qt::LeftButton, {}, pager->Buttons()[index].rect.center());
    };
    ASSERT_EQ(pager->Buttons().size(), 7u);
    click(0);  // the current page
    click(5);  // "..."
    EXPECT_TRUE(container.turns.empty());
    click(6);  // page 9
    ASSERT_EQ(container.turns.size(), 1u);
    EXPECT_EQ(container.turns[0], std::make_pair(134, 9));
    EXPECT_EQ(pager->CurrentPage(), 9);
    EXPECT_EQ(pager->Buttons()[2].number, 5);  // now 1, ..., 5, 6, 7, 8, 9

    // Pressed on one button and released on another is no click.
    QTest::mousePress(pager, Qt::LeftButton, {}, pager->Buttons()[2].rect.center());
    QTest::mouseRelease(pager, Qt::LeftButton, {}, pager->Buttons()[3].rect.center());
    EXPECT_EQ(container.turns.size(), 1u);

    pager->BindPager(&container, 134);
    EXPECT_EQ(pager->CurrentPage(), 1);
    EXPECT_TRUE(pager->Buttons().empty());
}

// ---- scrolled picture view ----

TEST_F(ControlsTest, ScrollViewBarsAndTheRightEnd) {
    CScrollBitmapWnd view;
    view.resize(1060, 585);
    ASSERT_TRUE(view.LoadPicture(WriteImage(dir, "big.png", {2000, 1200}, Qt::darkGreen)));
    EXPECT_TRUE(view.HorzBarShown());
    EXPECT_TRUE(view.VertBarShown());
    EXPECT_EQ(view.ViewRect(), QRect(0, 0, 1043, 568));

    view.HorzBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.Offset().x(), 2000 - (1060 - 17));
    view.HorzBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.Offset().x(), 957);  // clamped
    view.HorzBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view.Offset().x(), 952);
    view.HorzBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(view.Offset().x(), 952);  // page requests change nothing
    EXPECT_EQ(view.HorzBar()->value(), 952);
    view.HorzBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view.Offset().x(), 0);
    view.VertBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.Offset().y(), 5);
}

TEST_F(ControlsTest, ScrollViewKeepsThePictureAnchoredWhenItGrows) {
    // A shown child gets its size changes at once.
    host.resize(1300, 700);
    auto* view = new CScrollBitmapWnd(&host);
    view->resize(1060, 585);
    host.show();
    ASSERT_TRUE(view->LoadPicture(WriteImage(dir, "big.png", {2000, 1200}, Qt::darkGreen)));
    for (int i = 0; i < 100; ++i)
        view->HorzBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(view->Offset().x(), 500);
    view->resize(1160, 585);
    EXPECT_EQ(view->Offset().x(), 400);
}

TEST_F(ControlsTest, ScrollViewBarCombinations) {
    const struct {
        QSize picture;
        bool horz, vert;
    } cases[] = {
        {{500, 300}, false, false},
        {{1100, 580}, true, true},  // the horizontal bar leaves too little height
        {{1100, 500}, true, false},
        {{1050, 700}, true, true},  // the vertical bar leaves too little width
        {{900, 700}, false, true},
    };
    for (const auto& c : cases) {
        CScrollBitmapWnd view;
        view.resize(1060, 585);
        ASSERT_TRUE(view.LoadPicture(WriteImage(dir, "p.png", c.picture, Qt::darkGreen)));
        EXPECT_EQ(view.HorzBarShown(), c.horz) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(view.VertBarShown(), c.vert) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(view.HorzBar()->isVisibleTo(&view), c.horz);
        EXPECT_EQ(view.VertBar()->isVisibleTo(&view), c.vert);
    }
}

TEST_F(ControlsTest, ScrollViewIsGreyOutsideASmallOrMissingPicture) {
    CScrollBitmapWnd view;
    view.resize(400, 300);
    ASSERT_TRUE(view.LoadPicture(WriteImage(dir, "s.png", {100, 50}, Qt::darkGreen)));
    QImage shot = view.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(50, 25), Qt::darkGreen));
    EXPECT_TRUE(Near(shot.pixel(200, 200), QColor(192, 192, 192), 2));

    EXPECT_FALSE(view.LoadPicture(dir.filePath("missing.jpg")));
    EXPECT_FALSE(view.IsLoaded());
    EXPECT_FALSE(view.HorzBarShown() || view.VertBarShown());
    shot = view.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(50, 25), QColor(192, 192, 192), 2));
}

// ---- dialog base ----

TEST_F(ControlsTest, EnterAndEscapeCloseNoDialog) {
    CTDialog dialog;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ControlsTest, DraggingTheBackgroundMovesTheWindowOnlyWhenAllowed) {
    CTDialog dialog;
    dialog.resize(200, 100);
    dialog.move(100, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto drag = [&] {
        const QPoint start = dialog.pos();
        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 40), dialog.mapToGlobal(QPointF(60, 40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(60, 40));
        QTest::qWait(20);
        return dialog.pos() - start;
    };
    EXPECT_EQ(drag(), QPoint(0, 0));
    dialog.m_bDrag = true;
    EXPECT_EQ(drag(), QPoint(50, 30));
}

TEST_F(ControlsTest, BackgroundImageIsStretchedAndAMissingOneKeepsTheFill) {
    host.SetBackgroundImage(dir.filePath("missing.jpg"));
    EXPECT_TRUE(Near(host.grab().toImage().pixel(200, 150), kHostColor));
    host.SetBackgroundImage(WriteImage(dir, "bk.png", {20, 10}, QColor(240, 30, 30)));
    const QImage shot = host.grab().toImage();
    EXPECT_TRUE(Near(shot.pixel(1, 1), QColor(240, 30, 30)));
    EXPECT_TRUE(Near(shot.pixel(398, 298), QColor(240, 30, 30)));
}

}  // namespace

namespace {

// Setting heights are cell heights: the font's ascent and descent fill them.
TEST(SkinFont, HeightIsTheCellHeight) {
    for (int height : {12, 15, 20, 28}) {
        const QFont font = CellHeightFont("Arial", height, 0);
        const QFontMetrics metrics(font);
        EXPECT_LE(metrics.ascent() + metrics.descent(), height);
        EXPECT_GE(metrics.ascent() + metrics.descent(), height - 2) << height;
    }
    EXPECT_EQ(CellHeightFont("Arial", 15, 700).weight(), QFont::Bold);
}

}  // namespace
