#pragma once

class AlertViewLayer;

// Receives the choice made in an alert: the index of the pressed button in the alert's list.
class AlertViewDelegate {
  public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewButtonPressed(AlertViewLayer* alert, int buttonIndex) = 0;
};
