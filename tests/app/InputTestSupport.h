#pragma once

#include <cstring>
#include <vector>

#include "app/MainScene.h"
#include "engine/base/Types.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FakeAccessoryControl.h"

class AlertViewLayer;
class MenuBar;
class ScreenLog;

namespace apptest {

// The stored settings and the requests sent, to tell whether an input changed anything.
struct Snapshot {
    std::vector<uint8_t> bytes;
    int requests = 0;
    int runState = 0;
    bool operator==(const Snapshot& o) const {
        return bytes == o.bytes && requests == o.requests && runState == o.runState;
    }
};

// The whole scene as the application builds it, over the process-wide model the menus read,
// with the model's settings put back after each test.
class InputOwnerTest : public AppGlTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    static SpectrumSettings& model() { return *SpectrumSettings::getInstance(); }
    MenuBar* bar() const;
    // Opens a menu by its controller id from the bar and lets it fade in.
    void openMenu(int id);
    void closeMenus();
    int alertCount() const;
    AlertViewLayer* openAlert() const;
    // An on-screen log as the application installs it; removed after the test.
    ScreenLog* installLog();
    Snapshot snapshot() const;
    static engine::Vec2 centreOf(const engine::Node* node);
    void tapNode(const engine::Node* node) {
        const engine::Vec2 at = centreOf(node);
        tap(at.x, at.y);
    }
    static engine::Rect worldRect(const engine::Node* node, const engine::Rect& local);

    FakeAccessoryControl control;
    MainScene* main = nullptr;

  private:
    struct Saved;
    Saved* saved_ = nullptr;
    ScreenLog* log_ = nullptr;
};

}  // namespace apptest
