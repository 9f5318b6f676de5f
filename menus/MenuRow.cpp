#include "menus/MenuRow.h"

#include <utility>

MenuRow MenuRow::label(std::string caption, std::function<std::string()> word) {
    MenuRow row;
    row.kind = Kind::kLabel;
    row.caption = std::move(caption);
    row.word = std::move(word);
    return row;
}

MenuRow MenuRow::buttons(std::string caption, std::vector<Item> items) {
    MenuRow row;
    row.kind = Kind::kButtons;
    row.caption = std::move(caption);
    row.items = std::move(items);
    return row;
}

MenuRow MenuRow::button(std::string caption, std::string title, std::function<void()> action,
                        std::function<bool()> enabled) {
    return buttons(std::move(caption),
                   {Item{std::move(title), std::move(action), std::move(enabled)}});
}

MenuRow MenuRow::choice(std::string caption, std::vector<std::string> choices,
                        std::function<int()> selected, std::function<void(int)> choose) {
    MenuRow row;
    row.kind = Kind::kChoice;
    row.caption = std::move(caption);
    row.choices = std::move(choices);
    row.selected = std::move(selected);
    row.choose = std::move(choose);
    return row;
}

MenuRow MenuRow::stepper(std::string caption, std::function<std::string()> word,
                         std::function<bool()> wordBright, std::function<void(int)> step) {
    MenuRow row;
    row.kind = Kind::kStepper;
    row.caption = std::move(caption);
    row.word = std::move(word);
    row.wordBright = std::move(wordBright);
    row.step = std::move(step);
    return row;
}

MenuRow MenuRow::slider(std::string caption, std::function<float()> percent,
                        std::function<void(float)> setPercent,
                        std::function<std::string()> valueText) {
    MenuRow row;
    row.kind = Kind::kSlider;
    row.caption = std::move(caption);
    row.percent = std::move(percent);
    row.setPercent = std::move(setPercent);
    row.word = std::move(valueText);
    return row;
}

MenuRow MenuRow::picker(std::string caption, std::function<std::string()> word,
                        std::function<void()> open) {
    MenuRow row;
    row.kind = Kind::kPicker;
    row.caption = std::move(caption);
    row.word = std::move(word);
    row.open = std::move(open);
    return row;
}
