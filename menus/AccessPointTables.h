#pragma once

// What a menu may ask of the scene about the access-point tables and the peak table. The scene
// implements it; menus find it by casting the controller's scene, so they never include the
// application.
class AccessPointTables {
  public:
    virtual ~AccessPointTables() = default;
    virtual bool isSsidTableShown() const = 0;
    virtual void showSsidTable() = 0;
    virtual void hideSsidTable() = 0;
    virtual bool isUtilizationTableShown() const = 0;
    virtual void showUtilizationTable() = 0;
    virtual void hideUtilizationTable() = 0;
    // The list of the shown traces' peaks (spectrum real-wave view).
    virtual bool isPeakTableShown() const { return false; }
    virtual void togglePeakTable() {}
};
