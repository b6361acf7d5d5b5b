// SPDX-License-Identifier: MIT
#include "pages/ignore_list.h"

#include <algorithm>

#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > ' ' && byte != 0x7F;
}

}  // namespace

bool IgnoreList::Contains(std::string_view nick) const {
    // The classic case, and the usual one, costs no folding at all.
    return !folded_.empty() && folded_.contains(LowerCp1252(nick));
}

bool IgnoreList::Insert(std::string_view nick) {
    if (nick.empty() || !std::all_of(nick.begin(), nick.end(), IsNameByte)) return false;
    if (!folded_.insert(LowerCp1252(nick)).second) return false;
    names_.emplace_back(nick);
    return true;
}

bool IgnoreList::Add(std::string_view nick) {
    if (!Insert(nick)) return false;
    Changed();
    return true;
}

bool IgnoreList::Remove(std::string_view nick) {
    const std::string key = LowerCp1252(nick);
    if (folded_.erase(key) == 0) return false;
    std::erase_if(names_, [&](const std::string& name) { return LowerCp1252(name) == key; });
    Changed();
    return true;
}

void IgnoreList::Set(std::string_view nick, bool ignored) {
    if (ignored) {
        Add(nick);
    } else {
        Remove(nick);
    }
}

void IgnoreList::Assign(const std::vector<std::string>& names) {
    const std::vector<std::string> before = names_;
    names_.clear();
    folded_.clear();
    for (const std::string& name : names) Insert(name);
    if (names_ != before) Changed();
}

std::string IgnoreList::Text() const {
    std::string text;
    for (const std::string& name : names_) {
        if (!text.empty()) text += ' ';
        text += name;
    }
    return text;
}

std::vector<std::string> IgnoreList::ParseText(std::string_view text) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsSeparator(text[at])) ++at;
        std::size_t end = at;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        const std::string_view name = text.substr(at, end - at);
        if (!name.empty()) names.emplace_back(name);
        at = end;
    }
    return names;
}

void IgnoreList::Load() {
    // What is read is already stored: no write for it.
    stored_ = false;
    Assign(ParseText(Settings().Get(setting::kIgnoreList)));
    stored_ = true;
}

IgnoreList::Watch IgnoreList::OnChange(std::function<void()> handler) {
    auto watch = std::make_shared<const std::function<void()>>(std::move(handler));
    std::erase_if(watchers_, [](const auto& weak) { return weak.expired(); });
    watchers_.push_back(watch);
    return watch;
}

void IgnoreList::Changed() {
    if (stored_ && !Settings().Set(setting::kIgnoreList, Text())) {
        DebugLog(Tag{0}, "The ignore list could not be written to the registry.", kLogError);
    }
    // A handler may drop its own watch or another's, or change the list again: walk a copy.
    const auto watchers = watchers_;
    for (const auto& weak : watchers) {
        if (const auto handler = weak.lock()) (*handler)();
    }
}

IgnoreList& Ignores() {
    static IgnoreList list;
    return list;
}

}  // namespace vantor
