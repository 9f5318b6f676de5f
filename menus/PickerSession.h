#pragma once

#include <functional>
#include <memory>

#include "menus/PickerViewDelegate.h"

class MenuHost;
class PickerViewDataSource;
class PickerViewMenu;

// One value picker a menu opens over itself: owns the rows' data source and passes the chosen
// row to a callback. Opening another picker or destroying the session first cuts the old picker
// loose (it may still be fading out), so it never calls back into a menu that is gone.
class PickerSession : public PickerViewDelegate {
  public:
    using Chosen = std::function<void(int row)>;

    PickerSession() = default;
    PickerSession(const PickerSession&) = delete;
    PickerSession& operator=(const PickerSession&) = delete;
    ~PickerSession() override;

    // Shows a picker through `host` over its top menu (reusing its anchor) with `row`
    // preselected; nullptr when it could not be built or there is no host to show it.
    PickerViewMenu* open(MenuHost* host, std::unique_ptr<PickerViewDataSource> source, int row,
                         Chosen chosen);
    PickerViewMenu* getPicker() const { return picker_; }
    PickerViewDataSource* getSource() const { return source_.get(); }

    void pickerViewDidChooseRow(PickerViewMenu* picker, int row) override;

  private:
    void drop();

    PickerViewMenu* picker_ = nullptr;  // retained while it may call back
    std::unique_ptr<PickerViewDataSource> source_;
    Chosen chosen_;
};
