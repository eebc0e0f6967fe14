#pragma once
// Listeners that only write down what a view reported, for the views' own
// tests: the clock window and the settings window decide nothing, so what
// they report is what they did.
#include "clock/ClockView.h"
#include "clock/ClockWindowListener.h"
#include "settings/SettingsWindowListener.h"

#include <functional>
#include <string>
#include <vector>

class RecordingClockListener final : public ClockWindowListener {
public:
    struct Press {
        ButtonId button;
        ButtonState stateWhenReported; // the button's look at that moment
    };
    std::vector<Press> presses;
    std::vector<std::string> events; // every other report, by name
    // Stands in for what a real listener would do about a press.
    std::function<void(ButtonId)> onPressed;
    ClockView* view = nullptr; // to read the pressed button's state

    void OnClockCreated() override { events.push_back("created"); }
    void OnClockShown() override { events.push_back("shown"); }
    void OnClockDestroyed() override { events.push_back("destroyed"); }
    void OnButtonPressed(ButtonId button) override {
        presses.push_back({button, view ? HoverButtonFor(*view, button).state : ButtonState::Normal});
        if (onPressed)
            onPressed(button);
    }
    void OnDragEnded() override { events.push_back("drag ended"); }
    void OnEscape() override { events.push_back("escape"); }
    void OnTick() override { events.push_back("tick"); }
    void OnTrimTick() override { events.push_back("trim tick"); }
    void OnSaveDue() override { events.push_back("save due"); }
    void OnSessionEnding(bool closeApplication) override {
        events.push_back(closeApplication ? "session ending for this program" : "session ending");
    }
    void OnDisplayScaleChanged(DisplayScale scale, const RECT& suggested) override {
        events.push_back("scale " + std::to_string(scale.dpi) + " at " + std::to_string(suggested.left) +
                         "," + std::to_string(suggested.top));
    }
    void OnTimeChanged() override { events.push_back("time changed"); }
    void OnContextMenu(POINT at) override {
        events.push_back("menu at " + std::to_string(at.x) + "," + std::to_string(at.y));
    }
};

class RecordingSettingsListener final : public SettingsWindowListener {
public:
    template <class Value> struct Change {
        Value ClockSettings::*field;
        Value value;
    };
    std::vector<Change<bool>> flags;
    std::vector<Change<std::string>> texts;
    std::vector<Change<std::int32_t>> numbers;
    std::vector<Change<DateForm>> dateForms;
    int restores = 0;
    // A record that takes every change, as a program refusing nothing
    // would; none: the window's record stays as it is.
    ClockSettings* takeInto = nullptr;

    void OnFieldChanged(bool ClockSettings::*field, bool on) override { Record(flags, field, on); }
    void OnFieldChanged(std::int32_t ClockSettings::*field, std::int32_t value) override {
        Record(numbers, field, value);
    }
    void OnFieldChanged(std::string ClockSettings::*field, const std::string& value) override {
        Record(texts, field, value);
    }
    void OnFieldChanged(DateForm ClockSettings::*field, DateForm value) override {
        Record(dateForms, field, value);
    }
    void OnRestoreDefaults() override {
        ++restores;
        if (takeInto)
            *takeInto = DefaultSettings();
    }

private:
    template <class Value>
    void Record(std::vector<Change<Value>>& changes, Value ClockSettings::*field, const Value& value) {
        changes.push_back({field, value});
        if (takeInto)
            takeInto->*field = value;
    }
};
