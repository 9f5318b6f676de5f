// Table views over a data source: cell reuse while scrolling, offsets across reloads, drag and
// wheel scrolling, row taps, and rows drawn (and clipped) where they belong.
#include <vector>

#include "engine/2d/LayerColor.h"
#include "engine/platform/GLView.h"
#include "engine/ui/TableView.h"
#include "engine/ui/TableViewCell.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "tests/engine-ui/UiTestSupport.h"

using namespace engine;
using namespace engine::ui;
using namespace uitest;

namespace {

// The colour a row is painted in: its index in red and green, so a pixel names its row.
Rgb rowColour(ssize_t idx) {
    return {static_cast<uint8_t>(idx & 0xFF), static_cast<uint8_t>((idx >> 8) & 0xFF), 200};
}

class Rows : public TableViewDataSource, public TableViewDelegate {
  public:
    Size tableCellSizeForIndex(TableView* table, ssize_t idx) override {
        float h = heights.empty() ? 20.f : heights[static_cast<size_t>(idx)];
        return Size(table->getContentSize().width, h);
    }
    TableViewCell* tableCellAtIndex(TableView* table, ssize_t idx) override {
        if (idx == nullRow)
            return nullptr;
        if (reloadFromCell) {
            // Re-entrant reload to a shorter list, as a data source reacting to a change might.
            reloadFromCell = false;
            count = 2;
            table->reloadData();
        }
        TableViewCell* cell = table->dequeueCell();
        if (cell) {
            ++reused;
        } else {
            cell = TableViewCell::create();
            cell->addChild(LayerColor::create(Color4B(0, 0, 0, 255), 1, 1), 0, 1);
            ++created;
        }
        Size size = tableCellSizeForIndex(table, idx);
        Node* fill = cell->getChildByTag(1);
        fill->setContentSize(size);
        Rgb c = rowColour(idx);
        fill->setColor(Color3B(c.r, c.g, c.b));
        return cell;
    }
    ssize_t numberOfCellsInTableView(TableView*) override { return count; }
    void tableCellTouched(TableView* table, TableViewCell* cell) override {
        touched.push_back(cell->getIdx());
        if (removeOnTouch)
            table->removeFromParent();
    }

    ssize_t count = 1000;
    std::vector<float> heights;
    ssize_t nullRow = -1;
    int created = 0;
    int reused = 0;
    bool removeOnTouch = false;
    bool reloadFromCell = false;
    std::vector<ssize_t> touched;
};

class TableViewTest : public UiTest {
  protected:
    // A 200 x 100 view at (50, 40): rows of 20 points, five in view.
    TableView* makeTable() {
        TableView* table = TableView::create(&rows, Size(200, 100));
        table->setDelegate(&rows);
        table->setPosition(50, 40);
        scene->addChild(table);
        table->reloadData();
        return table;
    }
    // The row drawn at a height in the view, from the colour there.
    static ssize_t rowAt(const Image& image, int y) {
        Rgb c = pixelAt(image, 150, y);
        return c.b == 200 ? c.r + 256 * c.g : -1;
    }
    size_t cellsInTable(TableView* table) { return table->getInnerContainer()->getChildrenCount(); }
    Rows rows;
};

TEST_F(TableViewTest, FirstRowsFillTheViewFromTheTopAndTheRestIsClipped) {
    TableView* table = makeTable();
    EXPECT_EQ(table->getInnerContainerSize().height, 20000);
    EXPECT_EQ(table->minContainerOffset(), Vec2(0, -19900));
    EXPECT_EQ(table->getContentOffset(), table->minContainerOffset());
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 0);
    EXPECT_EQ(rowAt(image, 121), 0);
    EXPECT_EQ(rowAt(image, 119), 1);
    EXPECT_EQ(rowAt(image, 41), 4);
    // Nothing of row 5 or of the rest of the container outside the view.
    EXPECT_EQ(pixelAt(image, 150, 39), kBlack);
    EXPECT_EQ(pixelAt(image, 150, 141), kBlack);
    EXPECT_EQ(pixelAt(image, 49, 100), kBlack);
    EXPECT_EQ(pixelAt(image, 251, 100), kBlack);
    EXPECT_EQ(cellsInTable(table), 5u);
    ASSERT_NE(table->cellAtIndex(4), nullptr);
    EXPECT_EQ(table->cellAtIndex(5), nullptr);
}

TEST_F(TableViewTest, ScrollingAThousandRowsReusesAScreenfulOfCells) {
    TableView* table = makeTable();
    const float top = table->minContainerOffset().y;
    for (float y = top; y <= 0; y += 7) {
        table->setContentOffset(Vec2(0, y));
        ASSERT_LE(cellsInTable(table), 6u);
    }
    table->setContentOffset(Vec2(0, 0));
    EXPECT_LE(rows.created, 7);
    EXPECT_GT(rows.reused, 990);
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 41), 999);
    EXPECT_EQ(rowAt(image, 139), 995);
    // Back to the top: every visible cell shows its own row again.
    table->setContentOffset(Vec2(0, top + 30));
    image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 1);
    EXPECT_EQ(rowAt(image, 41), 6);
    EXPECT_LE(rows.created, 7);
    // Offsets beyond either end are held at the end.
    table->setContentOffset(Vec2(0, 500));
    EXPECT_EQ(table->getContentOffset(), Vec2(0, 0));
    table->setContentOffset(Vec2(40, -1e9f));
    EXPECT_EQ(table->getContentOffset(), Vec2(0, top));
}

TEST_F(TableViewTest, DraggingScrollsAndIsNotATap) {
    TableView* table = makeTable();
    const float top = table->minContainerOffset().y;
    touchBegan(0, 150, 60);
    touchMoved(0, 150, 64);  // below the drag threshold: nothing moves yet
    EXPECT_EQ(table->getContentOffset().y, top);
    touchMoved(0, 152, 80);
    touchMoved(0, 170, 100);
    touchEnded(0, 170, 100);
    EXPECT_EQ(table->getContentOffset(), Vec2(0, top + 40));  // vertical only
    EXPECT_TRUE(rows.touched.empty());
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 2);

    // Dragging down at the top stays at the top.
    touchBegan(0, 150, 60);
    touchMoved(0, 150, 20);
    touchEnded(0, 150, 20);
    EXPECT_EQ(table->getContentOffset().y, top);
}

TEST_F(TableViewTest, TapReportsTheRowUnderTheFinger) {
    TableView* table = makeTable();
    tap(150, 135);
    tap(150, 75);  // row 3: 60..80 from the view's top
    table->setContentOffset(Vec2(0, table->minContainerOffset().y + 20 * 500));
    tap(150, 139);
    tap(30, 100);  // outside the view
    EXPECT_EQ(rows.touched, (std::vector<ssize_t>{0, 3, 500}));
}

TEST_F(TableViewTest, DelegateMayRemoveTheTableFromTheTouch) {
    makeTable();
    rows.removeOnTouch = true;
    tap(150, 135);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
    step(1);
    tap(150, 135);
    EXPECT_EQ(rows.touched.size(), 1u);
}

TEST_F(TableViewTest, ReloadKeepsThePlaceInTheList) {
    TableView* table = makeTable();
    const Vec2 place(0, table->minContainerOffset().y + 20 * 300 + 5);
    table->setContentOffset(place);
    table->reloadData();
    EXPECT_EQ(table->getContentOffset(), place);
    EXPECT_EQ(rowAt(renderFrame(), 134), 300);

    // Ten more rows at the end: the view stays on the same rows.
    Vec2 oldOffset = table->getContentOffset();
    Vec2 oldMin = table->minContainerOffset();
    rows.count = 1010;
    table->reloadData();
    Vec2 newMin = table->minContainerOffset();
    EXPECT_EQ(newMin.y, oldMin.y - 200);
    EXPECT_EQ(table->getContentOffset().y, oldOffset.y - oldMin.y + newMin.y);
    EXPECT_EQ(rowAt(renderFrame(), 134), 300);

    // A table owner restoring the place itself (offset - old minimum + new minimum) lands on
    // the same offset.
    Vec2 before = table->getContentOffset();
    Vec2 beforeMin = table->minContainerOffset();
    rows.count = 1200;
    table->reloadData();
    table->setContentOffset(Vec2(0, before.y - beforeMin.y + table->minContainerOffset().y));
    EXPECT_EQ(rowAt(renderFrame(), 134), 300);

    // Shrinking below the place moves to the end of what is left.
    rows.count = 8;
    table->reloadData();
    EXPECT_EQ(table->getContentOffset(), Vec2(0, 0));
    EXPECT_EQ(rowAt(renderFrame(), 41), 7);
}

TEST_F(TableViewTest, ShortTableSitsAtTheTopAndCannotScroll) {
    rows.count = 3;
    TableView* table = makeTable();
    EXPECT_EQ(table->minContainerOffset(), Vec2(0, 0));
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 0);
    EXPECT_EQ(rowAt(image, 81), 2);
    EXPECT_EQ(pixelAt(image, 150, 79), kBlack);
    touchBegan(0, 150, 100);
    touchMoved(0, 150, 130);
    touchEnded(0, 150, 130);
    EXPECT_EQ(table->getContentOffset(), Vec2(0, 0));
    tap(150, 60);  // below the last row
    EXPECT_TRUE(rows.touched.empty());

    rows.count = 0;
    table->reloadData();
    EXPECT_EQ(cellsInTable(table), 0u);
    tap(150, 135);
    EXPECT_TRUE(rows.touched.empty());
}

TEST_F(TableViewTest, WheelScrollsAFixedStepPerNotchAndNeverTaps) {
    TableView* table = makeTable();
    const float top = table->minContainerOffset().y;
    const float notch = ScrollView::SCROLL_POINTS_PER_NOTCH;
    // One notch down shows what lies below.
    wheel(150, 90, -1);
    EXPECT_EQ(table->getContentOffset().y, top + notch);
    wheel(150, 90, -1);
    wheel(150, 90, 1);
    EXPECT_EQ(table->getContentOffset().y, top + notch);
    EXPECT_EQ(rowAt(renderFrame(), 139), 2);
    // A wheel turn is never a tap, and turning past the top stops there.
    wheel(150, 90, 5);
    EXPECT_EQ(table->getContentOffset().y, top);
    EXPECT_TRUE(rows.touched.empty());
    EXPECT_EQ(Director::getInstance()->getOpenGLView()->getActiveTouchCount(), 0u);
    // Over another part of the screen the wheel leaves the table alone.
    wheel(150, 200, -1);
    EXPECT_EQ(table->getContentOffset().y, top);
}

TEST_F(TableViewTest, RowsOfDifferentHeightsAndBottomUpOrder) {
    rows.count = 5;
    rows.heights = {10, 20, 30, 10, 20};
    TableView* table = makeTable();
    // 90 points of rows in a 100-point view: the container is the view's height.
    EXPECT_EQ(table->getInnerContainerSize().height, 100);
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 135), 0);
    EXPECT_EQ(rowAt(image, 111), 1);
    EXPECT_EQ(rowAt(image, 95), 2);
    EXPECT_EQ(rowAt(image, 55), 4);
    EXPECT_EQ(rowAt(image, 45), -1);
    tap(150, 95);
    EXPECT_EQ(rows.touched, (std::vector<ssize_t>{2}));

    table->setVerticalFillOrder(TableView::VerticalFillOrder::BOTTOM_UP);
    image = renderFrame();
    EXPECT_EQ(rowAt(image, 45), 0);
    EXPECT_EQ(rowAt(image, 125), 4);
    EXPECT_EQ(rowAt(image, 135), -1);
    tap(150, 45);
    EXPECT_EQ(rows.touched, (std::vector<ssize_t>{2, 0}));
}

TEST_F(TableViewTest, BrokenDataSourceAnswersDoNotBreakTheTable) {
    rows.count = 5;
    rows.heights = {20, -5, 20, 1e30f * 1e30f, 20};  // negative and infinite heights count as 0
    rows.nullRow = 2;                                // and row 2 has no cell
    TableView* table = makeTable();
    EXPECT_EQ(table->getInnerContainerSize().height, 100);  // at least the view
    EXPECT_EQ(cellsInTable(table), 2u);                     // rows 0 and 4
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 0);
    EXPECT_EQ(rowAt(image, 90), 4);
    tap(150, 110);  // where row 2 would be
    tap(150, 130);
    EXPECT_EQ(rows.touched, (std::vector<ssize_t>{0}));

    rows.count = -4;
    rows.heights.clear();
    table->reloadData();
    EXPECT_EQ(cellsInTable(table), 0u);
}

TEST_F(TableViewTest, TableLeavingTheSceneMidDragForgetsItsTouches) {
    TableView* table = makeTable();
    table->retain();
    touchBegan(0, 150, 60);
    touchMoved(0, 150, 90);
    table->removeFromParent();
    touchEnded(0, 150, 90);  // goes nowhere: the table is out of the scene
    step(1);                 // the finished touch is released
    scene->addChild(table);
    table->release();
    const float before = table->getContentOffset().y;
    // Two fresh fingers act as a pinch of their own, not against the vanished touch.
    touchBegan(1, 150, 60);
    touchBegan(2, 150, 120);
    touchMoved(1, 150, 50);
    touchEnded(1, 150, 50);
    touchEnded(2, 150, 120);
    EXPECT_EQ(table->getContentOffset().y, before - 10);  // spreading shows what lies above
    tap(150, 135);
    EXPECT_EQ(rows.touched.size(), 1u);
}

TEST_F(TableViewTest, DataSourceReloadingFromInsideACellRequestStaysInBounds) {
    TableView* table = makeTable();
    rows.reloadFromCell = true;
    table->setContentOffset(Vec2(0, table->minContainerOffset().y + 20 * 100));
    EXPECT_EQ(table->getNumberOfRows(), 2);
    EXPECT_LE(cellsInTable(table), 2u);
    table->reloadData();
    Image image = renderFrame();
    EXPECT_EQ(rowAt(image, 139), 0);
    EXPECT_EQ(rowAt(image, 101), 1);
}

}  // namespace
