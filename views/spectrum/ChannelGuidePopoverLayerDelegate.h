#pragma once

// What a channel-guide popover tells the layer that opened it.
class ChannelGuidePopoverLayerDelegate {
  public:
    virtual ~ChannelGuidePopoverLayerDelegate() = default;
    // The user closed the popover with its close button; it removes itself afterwards.
    virtual void popoverClosed() = 0;
};
