#include "menus/PickerSession.h"

#include "engine/base/Types.h"
#include "menus/MenuHost.h"
#include "menus/PickerViewDataSource.h"
#include "menus/PickerViewMenu.h"

PickerSession::~PickerSession() {
    drop();
}

void PickerSession::drop() {
    if (picker_) {
        picker_->setDelegate(nullptr);
        picker_->setDataSource(nullptr);
        picker_->release();
        picker_ = nullptr;
    }
    source_.reset();
    chosen_ = nullptr;
}

PickerViewMenu* PickerSession::open(MenuHost* host, std::unique_ptr<PickerViewDataSource> source,
                                    int row, Chosen chosen) {
    drop();
    if (!source || !host)
        return nullptr;
    source_ = std::move(source);
    chosen_ = std::move(chosen);
    PickerViewMenu* picker = PickerViewMenu::create(source_.get(), this);
    if (!picker) {
        drop();
        return nullptr;
    }
    picker_ = picker;
    picker_->retain();
    picker_->selectRow(row);
    host->showMenu(picker_, engine::Rect());
    return picker_;
}

void PickerSession::pickerViewDidChooseRow(PickerViewMenu*, int row) {
    // Copied: the callback may open the next picker, which replaces chosen_.
    Chosen chosen = chosen_;
    if (chosen)
        chosen(row);
}
