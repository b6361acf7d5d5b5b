// SPDX-License-Identifier: MIT
#include "settings/held_settings.h"

#include <algorithm>

#include "common/wire_text.h"
#include "settings/settings_store.h"

namespace vantor {

namespace {

constexpr std::array<HeldRule, kHeldCount> kRules = {{
    {setting::held::kBuddyListAutoRefresh, setting::kAutoBuddyRefresh.name, 0, 1},
    {setting::held::kChatInitialLobby, setting::kChatInitialLobby.name, 0, 9},
    {setting::held::kBuddyListAutoRefreshInt, setting::kAutoBuddyRefreshInt.name, 1, 60},
    {setting::held::kShowMotd, setting::kShowMotd.name, 0, 1},
    {setting::held::kServer, setting::kServer.name, 0, 2},
    {setting::held::kEnableBGSnd, setting::kEnableSnd.name, 0, 1},
    {setting::held::kBGSndVolume, setting::kSndVolume.name, 0, 20},
}};

bool IsDigit(char16_t ch) {
    return ch >= u'0' && ch <= u'9';
}

}  // namespace

const HeldRule& RuleOf(Held which) {
    return kRules[static_cast<int>(which)];
}

std::int32_t ClampHeld(Held which, std::int32_t value) {
    const HeldRule& rule = RuleOf(which);
    return std::clamp(value, rule.low, rule.high);
}

HeldValues HeldSettings::Defaults() {
    HeldValues values{};
    for (int i = 0; i < kHeldCount; ++i) values[i] = kRules[i].stored.defaultValue;
    return values;
}

void HeldSettings::Load() {
    for (int i = 0; i < kHeldCount; ++i) {
        const std::int32_t stored = GetSettingLong(kRules[i].stored);
        values_[i] = ClampHeld(static_cast<Held>(i), stored);
    }
}

void HeldSettings::Commit(const HeldValues& values) {
    for (int i = 0; i < kHeldCount; ++i) values_[i] = ClampHeld(static_cast<Held>(i), values[i]);
    for (int i = 0; i < kHeldCount; ++i) vantor::SaveSettingLong(kRules[i].stored.name, values_[i]);
    Changed();
}

HeldSettings::WatchId HeldSettings::Watch(std::function<void()> changed) {
    watchers_.emplace_back(nextWatch_, std::move(changed));
    return nextWatch_++;
}

void HeldSettings::Unwatch(WatchId id) {
    std::erase_if(watchers_, [id](const auto& watcher) { return watcher.first == id; });
}

void HeldSettings::Changed() {
    // A copy, so a watcher that adds or removes one does not pull the list from under the loop; a
    // watcher removed by an earlier one in this round is not called.
    const auto watchers = watchers_;
    for (const auto& [id, changed] : watchers) {
        const bool stillThere = std::any_of(watchers_.begin(), watchers_.end(),
                                            [id = id](const auto& w) { return w.first == id; });
        if (stillThere) changed();
    }
}

std::optional<Held> HeldSettings::FindQuery(std::string_view queryName) const {
    for (int i = 0; i < kHeldCount; ++i) {
        if (kRules[i].queryName == queryName) return static_cast<Held>(i);
    }
    return std::nullopt;
}

std::string HeldSettings::SettingString(std::string_view name, std::string_view defaultValue) {
    return GetSettingString(name, defaultValue);
}

std::int32_t HeldSettings::SettingLong(std::string_view name, std::int32_t defaultValue) {
    if (const auto held = FindQuery(name)) return Get(*held);
    return GetSettingLong(name, defaultValue);
}

bool HeldSettings::SaveSettingLong(std::string_view name, std::int32_t value) {
    std::optional<Held> held = FindQuery(name);
    for (int i = 0; i < kHeldCount && !held; ++i) {
        if (SameAsciiNoCase(kRules[i].stored.name, name)) held = static_cast<Held>(i);
    }
    if (!held) return vantor::SaveSettingLong(name, value);
    const int index = static_cast<int>(*held);
    values_[index] = ClampHeld(*held, value);
    const bool saved = vantor::SaveSettingLong(kRules[index].stored.name, value);
    Changed();
    return saved;
}

namespace interval {

bool PasteAllowed(std::u16string_view clipboard) {
    return std::all_of(clipboard.begin(), clipboard.end(), IsDigit);
}

bool CharAllowed(char16_t ch) {
    return IsDigit(ch) || ch == 3 || ch == 8 || ch == 22 || ch == 24 || ch == 26;
}

std::optional<std::string> Validate(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::int32_t value = FromText(text, 0);
    const std::int32_t fixed = std::clamp<std::int32_t>(value, 1, 60);
    std::string rewritten = std::to_string(fixed);
    if (rewritten == text) return std::nullopt;
    return rewritten;
}

std::int32_t FromText(std::string_view text, std::int32_t previous) {
    // Leading digits count, like a lenient number parse; the box only holds two anyway.
    std::int64_t value = 0;
    bool any = false;
    for (char ch : text) {
        if (ch < '0' || ch > '9') break;
        any = true;
        value = std::min<std::int64_t>(value * 10 + (ch - '0'), 1000000);
    }
    if (!any) return previous;
    return std::clamp<std::int32_t>(static_cast<std::int32_t>(value), 1, 60);
}

}  // namespace interval

}  // namespace vantor
