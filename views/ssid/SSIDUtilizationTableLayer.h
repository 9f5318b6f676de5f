#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "views/ssid/SSIDTableLayout.h"
#include "views/ssid/UtilizationTableRows.h"

namespace engine {
class Label;
namespace ui {
class Button;
class TableView;
}  // namespace ui
}  // namespace engine

class Instrument;
class SpectrumSettings;

// The utilization table: the 2.4 GHz access points with their grades, the user's own ones
// (the selection) first with the channel recommended for them. "EDIT" freezes the list
// (scanPaused) so rows can be picked; touching a row then asks, in an alert, to add it to or
// remove it from the selection. Leaving the scene ends edit mode, so the list never stays frozen.
// The sort order changes through the instrument.
class SSIDUtilizationTableLayer : public engine::Layer,
                                  public engine::ui::TableViewDataSource,
                                  public engine::ui::TableViewDelegate {
  public:
    static constexpr const char* kTitle = "ACCESS POINT UTILIZATION";
    static constexpr const char* kBackground = "MenuBackground.png";
    static constexpr const char* kCloseIcon = "close_icon.png";
    static constexpr float kTopBarHeight = 48.0f;

    // Shows a modal alert; `answer` gets the index of the pressed button (0 the first, -1 none).
    // The scene installs one that opens an AlertViewLayer.
    using AlertPresenter = std::function<void(const std::string& title, const std::string& message,
                                              const std::vector<std::string>& buttons,
                                              const std::function<void(int)>& answer)>;

    static SSIDUtilizationTableLayer* create(const engine::Size& size);
    // A table over another model with an instrument of its own (tests).
    static SSIDUtilizationTableLayer* createWithModel(SpectrumSettings* model,
                                                      const engine::Size& size);
    static SSIDUtilizationTableLayer* createWithInstrument(Instrument* instrument,
                                                           const engine::Size& size);
    ~SSIDUtilizationTableLayer() override;

    bool init() override;
    void onExit() override;

    // TableViewDataSource
    engine::Size cellSizeForTable(engine::ui::TableView* table) override;
    engine::ui::TableViewCell* tableCellAtIndex(engine::ui::TableView* table, ssize_t idx) override;
    ssize_t numberOfCellsInTableView(engine::ui::TableView* table) override;
    // TableViewDelegate: while editing, an access-point row asks to add or remove it.
    void tableCellTouched(engine::ui::TableView* table, engine::ui::TableViewCell* cell) override;

    // Reloads the rows, header buttons and the edit button (main scene, on utilizationChanged).
    void refresh();
    void headerReleased(int criterion);
    // "EDIT" / "DONE".
    void editReleased();
    // "EXPORT": the table as CSV and JSON next to the data logs.
    void exportTable();
    bool isEditing() const { return editing_; }
    // The answer to the add or remove alert.
    void alertButtonPressed(int index);

    AlertPresenter presentAlert;
    std::function<void()> onClose;

    engine::ui::TableView* getTableView() const { return table_; }
    engine::ui::Button* getEditButton() const { return edit_; }
    engine::ui::Button* getExportButton() const { return export_; }
    engine::ui::Button* getCloseButton() const { return close_; }
    const std::vector<engine::ui::Button*>& getHeaderButtons() const { return headers_; }

  private:
    SSIDUtilizationTableLayer() = default;
    void buildHeaders();
    void endEditing();
    void alert(const std::string& title, const std::string& message,
               const std::vector<std::string>& buttons, bool answerable);

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;  // how the sort order changes; never null
    std::unique_ptr<Instrument> ownInstrument_;
    SSIDTableLayout layout_;
    UtilizationTableRows rows_;
    engine::ui::TableView* table_ = nullptr;
    engine::ui::Button* edit_ = nullptr;
    engine::ui::Button* export_ = nullptr;
    engine::ui::Button* close_ = nullptr;
    std::vector<engine::ui::Button*> headers_;
    int displayClass_ = -1;
    bool editing_ = false;
    // The alert in flight: which access point, and whether it asked to add it.
    std::array<uint8_t, 6> pendingBssid_{};
    bool pendingAdd_ = false;
    // Cleared when the layer goes, so an alert answered after that does nothing.
    std::shared_ptr<SSIDUtilizationTableLayer*> self_;
};
