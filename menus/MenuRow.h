#pragma once

#include <functional>
#include <string>
#include <vector>

// One row of a menu as data: what it shows, where its value comes from and where a choice goes.
// MenuLayer builds the controls from it and calls the getters again on every refresh, so a row
// always shows the model, never a copy. Rules left empty mean "always".
struct MenuRow {
    enum class Kind {
        kLabel,    // the caption only (or the word getter's text)
        kButtons,  // independent buttons, each with its action and enabled rule
        kChoice,   // one of several: the selected button bright, the others dim
        kStepper,  // "<" word ">"; the word bright or dim; tapping it toggles
        kSlider,   // a slider (percent) and its value text
        kPicker,   // a button titled with the current word that opens a picker
    };

    struct Item {
        std::string title;
        std::function<void()> action;
        std::function<bool()> enabled;
    };

    Kind kind = Kind::kLabel;
    std::string caption;
    std::vector<Item> items;                   // kButtons
    std::vector<std::string> choices;          // kChoice
    std::function<int()> selected;             // kChoice: index of the bright choice
    std::function<void(int)> choose;           // kChoice: a choice was tapped
    std::function<std::string()> word;         // stepper centre, picker title, value text
    std::function<bool()> wordBright;          // kStepper
    std::function<void(int)> step;             // kStepper: -1 "<", +1 ">", 0 the word
    std::function<float()> percent;            // kSlider
    std::function<void(float)> setPercent;     // kSlider: moved by the user
    std::function<void()> open;                // kPicker
    std::function<bool()> enabled;             // the whole row
    std::function<bool()> shown;               // hidden rows take no space
    std::function<std::string()> captionText;  // a caption that follows the model

    static MenuRow label(std::string caption, std::function<std::string()> word = {});
    static MenuRow buttons(std::string caption, std::vector<Item> items);
    static MenuRow button(std::string caption, std::string title, std::function<void()> action,
                          std::function<bool()> enabled = {});
    static MenuRow choice(std::string caption, std::vector<std::string> choices,
                          std::function<int()> selected, std::function<void(int)> choose);
    static MenuRow stepper(std::string caption, std::function<std::string()> word,
                           std::function<bool()> wordBright, std::function<void(int)> step);
    static MenuRow slider(std::string caption, std::function<float()> percent,
                          std::function<void(float)> setPercent,
                          std::function<std::string()> valueText);
    static MenuRow picker(std::string caption, std::function<std::string()> word,
                          std::function<void()> open);

    // Chainable rules for rows built by the factories above.
    MenuRow& enabledWhen(std::function<bool()> rule) {
        enabled = std::move(rule);
        return *this;
    }
    MenuRow& shownWhen(std::function<bool()> rule) {
        shown = std::move(rule);
        return *this;
    }

    // The caption is read again on every refresh (a row whose meaning follows another setting).
    MenuRow& captionFrom(std::function<std::string()> text) {
        captionText = std::move(text);
        return *this;
    }

    bool isShown() const { return !shown || shown(); }
    bool isEnabled() const { return !enabled || enabled(); }
};
