#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "model/AccessoryDescription.h"
#include "model/LinkSettings.h"

// What the model's owner tells the link, and the only settings the link reads: the owner
// publishes a fresh LinkSettings copy after every change, the link takes the current one. The
// link's own knowledge overrides the copy until the owner has caught up with it: the description
// it decoded (with the corrections a description brings) and whether a USB accessory is attached.
class SettingsPublication {
  public:
    using Settings = std::shared_ptr<const LinkSettings>;

    SettingsPublication();

    // The owner's side. An unchanged copy is not published again.
    void publish(const LinkSettings& settings);
    void setRunState(int32_t state) { runState_ = state; }
    void setInBackground(bool background) { inBackground_ = background; }

    // The link's side.
    void setDescription(const AccessoryDescription& description);
    void setConnected(bool connected);
    // The settings to decide by now: never null.
    Settings current();
    int32_t runState() const { return runState_; }
    bool inBackground() const { return inBackground_; }
    // Running or single shot armed: measurements are wanted.
    bool measuring() const;

  private:
    std::mutex lock_;
    LinkSettings published_;
    std::shared_ptr<const AccessoryDescription> description_;
    bool connected_ = false;
    Settings current_;  // null: to be derived again
    std::atomic<int32_t> runState_{0};
    std::atomic<bool> inBackground_{false};
};
