#pragma once

#include <functional>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "views/ssid/SSIDTableLayout.h"
#include "views/ssid/SSIDTableRows.h"

namespace engine {
class Label;
namespace ui {
class Button;
class TableView;
}  // namespace ui
}  // namespace engine

class SpectrumSettings;

// The SSID table: a panel listing every scanned access point in a 2.4 GHz and a 5 GHz section,
// with sort header buttons, a title counting access points and scans, "CLEAR TABLE" and a close
// button. The main scene sorts the list and calls refresh() whenever ssidTableChanged is set.
class SSIDTableLayer : public engine::Layer,
                       public engine::ui::TableViewDataSource,
                       public engine::ui::TableViewDelegate {
  public:
    static constexpr const char* kBackground = "MenuBackground.png";
    static constexpr const char* kCloseIcon = "close_icon.png";
    static constexpr const char* kClearTitle = "CLEAR TABLE";
    static constexpr float kTopBarHeight = 48.0f;

    // A panel of `size` over the process-wide model, or over another one (tests).
    static SSIDTableLayer* create(const engine::Size& size);
    static SSIDTableLayer* createWithModel(SpectrumSettings* model, const engine::Size& size);

    bool init() override;

    // TableViewDataSource
    engine::Size cellSizeForTable(engine::ui::TableView* table) override;
    engine::ui::TableViewCell* tableCellAtIndex(engine::ui::TableView* table, ssize_t idx) override;
    ssize_t numberOfCellsInTableView(engine::ui::TableView* table) override;
    // TableViewDelegate: row touches are ignored.
    void tableCellTouched(engine::ui::TableView*, engine::ui::TableViewCell*) override {}

    // Reloads the rows (the view stays over the same rows), the title and the header buttons.
    void refresh();
    // A header button of sort criterion c released.
    void headerReleased(int criterion);
    // "CLEAR TABLE" released: the list, the statistics and the scan count emptied.
    void clearReleased();

    // Called when the close button is released; the main scene removes the layer.
    std::function<void()> onClose;

    engine::ui::TableView* getTableView() const { return table_; }
    engine::Label* getTitle() const { return title_; }
    const std::vector<engine::ui::Button*>& getHeaderButtons() const { return headers_; }
    engine::ui::Button* getClearButton() const { return clear_; }
    engine::ui::Button* getCloseButton() const { return close_; }
    const SSIDTableLayout& getLayout() const { return layout_; }

  private:
    SSIDTableLayer() = default;
    void buildHeaders();
    void updateTitleAndHeaders();

    SpectrumSettings* model_ = nullptr;
    SSIDTableLayout layout_;
    SSIDTableRows rows_;
    engine::ui::TableView* table_ = nullptr;
    engine::Label* title_ = nullptr;
    engine::ui::Button* clear_ = nullptr;
    engine::ui::Button* close_ = nullptr;
    std::vector<engine::ui::Button*> headers_;  // children, one per column of the layout
    int displayClass_ = -1;
};
