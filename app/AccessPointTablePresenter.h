#pragma once

#include <cstdint>
#include <functional>

#include "engine/base/EventKeyboard.h"
#include "engine/base/Types.h"
#include "model/AccessPointAgeing.h"

namespace engine {
class Node;
}

class AlertAnswers;
class Instrument;
class SSIDTableLayer;
class SSIDUtilizationTableLayer;
class SpectrumSettings;

// The two access-point tables of the main scene: at most one is shown, over the view area. While
// either is shown the list ages and the shown table refreshes whenever the list changed. Hiding
// the SSID table unfreezes the list and clears the scan statistics but keeps the access points
// selected for optimisation; hiding the utilization table ends its edit mode, so the list never
// stays frozen behind a closed table. In a tall enough window the SSID table covers only the upper
// part of the view area. Main thread only.
//
// A shown table owns input (the bar stays clickable beside it); its keys go to `keys`.
class AccessPointTablePresenter {
  public:
    using KeyHandler = std::function<bool(engine::EventKeyboard::KeyCode key, int modifiers)>;
    // A view area this tall or taller keeps the lower part of the spectrum in sight under the
    // SSID table, so a row's highlighted outline can be seen beside it.
    static constexpr float kSharedViewHeight = 400.0f;
    static constexpr float kSsidTableShare = 0.6f;
    static engine::Rect ssidTableArea(const engine::Rect& view);

    // The tables change their sort order through `instrument` and show its model.
    AccessPointTablePresenter(engine::Node& parent, Instrument& instrument, AlertAnswers& alerts,
                              int tableZOrder, int alertZOrder);

    // Showing a table again (as a resize does) builds it anew for the new area.
    // `outlines`: the access-point outlines, clickable beside a table that leaves them in sight.
    void showSsidTable(const engine::Rect& area, engine::Node* outlines = nullptr);
    void hideSsidTable();
    void showUtilizationTable(const engine::Rect& area);
    void hideUtilizationTable();

    // Ages the list every few seconds of frame time and refreshes the shown table after any
    // change of the list. `now` is the application's clock.
    void update(float dt, uint64_t now);

    bool ssidShown() const { return ssidShown_; }
    bool utilizationShown() const { return utilizationShown_; }
    SSIDTableLayer* ssidTable() const { return ssidTable_; }
    SSIDUtilizationTableLayer* utilizationTable() const { return utilizationTable_; }

    void setKeyHandler(KeyHandler keys) { keys_ = std::move(keys); }

  private:
    // The table takes input from the views; keys go to the handler.
    void takeInput(engine::Node* table, engine::Node* alsoPointed = nullptr);

    engine::Node& parent_;
    KeyHandler keys_;
    Instrument& instrument_;
    SpectrumSettings& model_;
    AlertAnswers& alerts_;
    int tableZOrder_;
    int alertZOrder_;
    AccessPointAgeing ageing_;
    SSIDTableLayer* ssidTable_ = nullptr;                    // a child of parent_ while shown
    SSIDUtilizationTableLayer* utilizationTable_ = nullptr;  // likewise
    bool ssidShown_ = false;
    bool utilizationShown_ = false;
};
