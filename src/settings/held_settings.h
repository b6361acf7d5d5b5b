// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/setting_names.h"
#include "settings/settings_source.h"

namespace vantor {

// The seven settings the options window keeps in memory, in the order they are read and saved.
enum class Held : int {
    AutoRefresh,
    Lobby,
    Interval,
    ShowMotd,
    Server,
    Music,
    Volume,
};
inline constexpr int kHeldCount = 7;

struct HeldRule {
    LongSetting stored;          // name in the store, and the default it is loaded with
    std::string_view queryName;  // name the rest of the program asks with
    std::int32_t low;
    std::int32_t high;
};

const HeldRule& RuleOf(Held which);

using HeldValues = std::array<std::int32_t, kHeldCount>;

// The program's settings source: the working copy of the seven values the options window edits,
// loaded once at start-up and changed when the user confirms the window (or a Set writes one of
// them). Answers SettingLong for its seven query names (exact case) and passes every other name to
// the store.
class HeldSettings : public SettingsSource {
public:
    // Reads the seven values from the store in order, each with its default, and brings them into
    // range in memory only.
    void Load();
    // Takes new values (brought into range) and saves all seven in order.
    void Commit(const HeldValues& values);

    // Called after the held values changed (a commit, or a Set of one of them), so whatever acts on
    // them can follow at once. A watcher may add or remove watchers from inside the call.
    using WatchId = int;
    WatchId Watch(std::function<void()> changed);
    void Unwatch(WatchId id);

    std::int32_t Get(Held which) const { return values_[static_cast<int>(which)]; }
    const HeldValues& Values() const { return values_; }

    std::optional<Held> FindQuery(std::string_view queryName) const;

    std::string SettingString(std::string_view name, std::string_view defaultValue) override;
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override;
    // A write under a held value's name (in the store, any case) or its query name keeps the held
    // copy in step, brought into range; the store gets it under the value's name.
    bool SaveSettingLong(std::string_view name, std::int32_t value) override;

private:
    void Changed();

    HeldValues values_ = Defaults();
    static HeldValues Defaults();
    std::vector<std::pair<WatchId, std::function<void()>>> watchers_;
    WatchId nextWatch_ = 1;
};

std::int32_t ClampHeld(Held which, std::int32_t value);

// Rules of the interval box, kept free of the widget so they can be checked alone.
namespace interval {

// Whether a paste may go ahead: empty text or digits only.
bool PasteAllowed(std::u16string_view clipboard);
// Whether a typed character may reach the box: digits and the editing control codes
// (copy 3, backspace 8, paste 22, cut 24, undo 26).
bool CharAllowed(char16_t ch);
// The text after the box loses focus: "" stays "", 61 and above become "60", below 1 becomes
// "1", and the rest is rewritten as a plain number ("07" -> "7"). nullopt when nothing changes.
std::optional<std::string> Validate(std::string_view text);
// The interval the OK button takes from the box; the previous value when the box holds no
// number, so the held interval never leaves its range.
std::int32_t FromText(std::string_view text, std::int32_t previous);

}  // namespace interval

}  // namespace vantor
