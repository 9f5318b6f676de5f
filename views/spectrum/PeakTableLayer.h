#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "model/PeakTable.h"
#include "views/spectrum/PeakTableViewCell.h"

namespace engine {
class Label;
namespace ui {
class Button;
class TableView;
}  // namespace ui
}  // namespace engine

class SpectrumSettings;

// The peaks of every shown trace as a list, in the SSID table's style: a panel in the top right
// corner of the view area (the spectrum stays in sight beside it), with a title, "EXPORT" and a
// close button. It follows the traces a few times a second, and only redraws its rows when a
// number changed. Swallows the touches that land on it.
class PeakTableLayer : public engine::Layer,
                       public engine::ui::TableViewDataSource,
                       public engine::ui::TableViewDelegate {
  public:
    static constexpr float kRefreshSeconds = 0.25f;
    static constexpr const char* kExportText = "EXPORT";

    // A panel in the top right of `area` (in its parent's coordinates) for the scene's band.
    static PeakTableLayer* createWithModel(SpectrumSettings* model, const engine::Rect& area,
                                           int band);
    ~PeakTableLayer() override;

    bool init() override;
    void update(float dt) override;

    engine::Size cellSizeForTable(engine::ui::TableView* table) override;
    engine::ui::TableViewCell* tableCellAtIndex(engine::ui::TableView* table, ssize_t idx) override;
    ssize_t numberOfCellsInTableView(engine::ui::TableView* table) override;
    void tableCellTouched(engine::ui::TableView*, engine::ui::TableViewCell*) override {}

    // Takes the rows from the traces and reloads when they changed.
    void refresh();
    // Writes the rows as CSV and JSON next to the data logs.
    void exportTable();
    void setCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

    const std::vector<PeakTable::Row>& getRows() const { return rows_; }
    engine::ui::TableView* getTableView() const { return table_; }
    engine::ui::Button* getExportButton() const { return export_; }
    engine::ui::Button* getCloseButton() const { return close_; }
    engine::Label* getTitleLabel() const { return title_; }

  private:
    PeakTableLayer() = default;
    std::string rowsKey() const;

    SpectrumSettings* model_ = nullptr;
    engine::Rect area_;
    int band_ = 0;
    std::vector<PeakTable::Row> rows_;
    std::string shownKey_;
    float sinceRefresh_ = 0;
    PeakTableViewCell::Layout cellLayout_;
    std::function<void()> closeHandler_;
    engine::Label* title_ = nullptr;  // children
    engine::ui::Button* export_ = nullptr;
    engine::ui::Button* close_ = nullptr;
    engine::ui::TableView* table_ = nullptr;
};
