#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "engine/2d/Layer.h"
#include "engine/base/EventKeyboard.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "views/ssid/SSIDTableSections.h"
#include "views/ssid/SSIDTableViewCell.h"

namespace engine {
class Event;
class Label;
class Touch;
namespace ui {
class Button;
class Scale9Sprite;
class TableView;
}  // namespace ui
}  // namespace engine

class Instrument;
class SpectrumSettings;

// The panel listing every scanned access point, 2.4 GHz and 5 GHz in sections, with a title
// counting access points and scans, sort buttons over the columns, "CLEAR TABLE" and a close
// button. The main scene sorts the list and calls refresh() whenever ssidTableChanged is
// raised; the header buttons and "CLEAR TABLE" only change the model and raise the flag. The
// panel swallows every touch that lands on it, so nothing reaches the views below. The sort order
// changes through the instrument.
class SSIDTableLayer : public engine::Layer,
                       public engine::ui::TableViewDataSource,
                       public engine::ui::TableViewDelegate {
  public:
    static constexpr const char* kPanelImage = "MenuBackground.png";
    static constexpr const char* kCloseImage = "close_icon.png";
    static constexpr const char* kButtonImage = "ButtonUnselected.png";
    static constexpr const char* kButtonSelectedImage = "ButtonSelected.png";
    static constexpr const char* kButtonDisabledImage = "ButtonDisabled.png";
    static constexpr const char* kClearText = "CLEAR TABLE";
    static constexpr const char* kExportText = "EXPORT";
    static constexpr const char* kInitialTitle = "Total Scans: 0";

    // A panel filling `area` (in its parent's coordinates), laid out for the model's
    // displayClass. createWithModel gives the panel an instrument of its own (tests).
    static SSIDTableLayer* createWithModel(SpectrumSettings* model, const engine::Rect& area);
    static SSIDTableLayer* createWithInstrument(Instrument* instrument, const engine::Rect& area);
    ~SSIDTableLayer() override;

    bool init() override;

    // TableViewDataSource
    engine::Size cellSizeForTable(engine::ui::TableView* table) override;
    engine::ui::TableViewCell* tableCellAtIndex(engine::ui::TableView* table, ssize_t idx) override;
    ssize_t numberOfCellsInTableView(engine::ui::TableView* table) override;
    // TableViewDelegate: touching an access point's row highlights its outline (or lets it go).
    void tableCellTouched(engine::ui::TableView* table, engine::ui::TableViewCell* cell) override;

    // Reloads the rows, the title and the header buttons, keeping the rows
    // the user looks at in place.
    void refresh();
    // What releasing the header of a criterion and "CLEAR TABLE" do.
    void pressHeader(int criterion);
    void clearTable();
    // Highlights the access point of a row (toggling), or the one `step` rows after the
    // highlighted one (Up and Down); rows that are no access point are skipped.
    void pickRow(ssize_t idx);
    void moveHighlight(int step);
    // The keyboard's row ring: highlights the access point of row `idx` (section rows change
    // nothing); the row of the highlighted access point, or -1.
    void highlightRow(ssize_t idx);
    ssize_t highlightedRow();
    // Writes the table as CSV and JSON next to the data logs (EXPORT).
    void exportTable();
    // Whether Up and Down are the table's now (no menu or help over it); unset: always.
    void setKeyGate(std::function<bool()> gate) { keyGate_ = std::move(gate); }
    // Called when the close button is released (the owner removes the panel).
    void setCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

    // A press on the active column turns its direction round; another column becomes active,
    // RSSI strongest first, every other column ascending.
    static void chooseSort(uint8_t& criterion, uint8_t& descending, int pressed);
    // After a reload: puts the view back at its old distance from the top of the list, given
    // the offset and minimum offset from before the reload.
    static void restorePlace(engine::ui::TableView* table, const engine::Vec2& oldOffset,
                             const engine::Vec2& oldMin);

    engine::ui::TableView* getTableView() const { return table_; }
    engine::Label* getTitleLabel() const { return title_; }
    engine::ui::Button* getClearButton() const { return clear_; }
    engine::ui::Button* getExportButton() const { return export_; }
    engine::ui::Button* getCloseButton() const { return close_; }
    // The header button of a column, null when the layout leaves the column out.
    engine::ui::Button* getHeaderButton(SSIDTableViewCell::Column column) const {
        return headers_[column];
    }
    const SSIDTableViewCell::Layout& getCellLayout() const { return cellLayout_; }
    const SSIDTableSections& getSections() const { return sections_; }

    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);

  private:
    SSIDTableLayer() = default;
    void updateHeaderButtons();
    engine::ui::Button* makeButton(const std::string& text, float fontSize);
    void fillCell(SSIDTableViewCell* cell, ssize_t idx);
    void scrollToHighlight();

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;  // how the sort order changes; never null
    std::unique_ptr<Instrument> ownInstrument_;
    engine::Rect area_;
    SSIDTableViewCell::Layout cellLayout_;
    SSIDTableSections sections_;
    std::function<void()> closeHandler_;
    std::function<bool()> keyGate_;
    std::array<uint8_t, 6> shownHighlight_{};  // the highlight the rows were last scrolled to
    float titleRoom_ = 0;                      // width the title may take

    engine::ui::Scale9Sprite* panel_ = nullptr;  // children
    engine::Label* title_ = nullptr;
    engine::ui::Button* clear_ = nullptr;
    engine::ui::Button* export_ = nullptr;
    engine::ui::Button* close_ = nullptr;
    std::array<engine::ui::Button*, SSIDTableViewCell::kColumnCount> headers_{};
    engine::ui::TableView* table_ = nullptr;
};
