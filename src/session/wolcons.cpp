// SPDX-License-Identifier: MIT
#include "common/wire_text.h"
#include "session/wolcon.h"

namespace vantor {

namespace {

// A slot outlives its place in the list while a walk holds it, so the session it carries is
// destroyed only after the handler that removed it has returned.
struct Slot {
    std::string key;
    std::unique_ptr<WOLCon> con;
    bool member = true;
};

}  // namespace

struct WOLCons::State {
    std::vector<std::shared_ptr<Slot>> slots;

    std::size_t Find(std::string_view key) const {
        if (key.empty()) return slots.size();
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (!slots[i]->key.empty() && SameAsciiNoCase(slots[i]->key, key)) return i;
        }
        return slots.size();
    }

    bool RemoveAt(std::size_t index) {
        if (index >= slots.size()) return false;
        // Taken out of the list first: the session's destructor must find the collection settled.
        std::shared_ptr<Slot> slot = std::move(slots[index]);
        slots.erase(slots.begin() + static_cast<std::ptrdiff_t>(index));
        slot->member = false;
        return true;
    }
};

WOLCons::WOLCons() : state_(std::make_shared<State>()) {}

WOLCons::~WOLCons() {
    // A walk still running (the collection dropped from inside one of its handlers) stops here.
    auto slots = std::move(state_->slots);
    state_->slots.clear();
    for (auto& slot : slots) slot->member = false;
}

WOLCon* WOLCons::Add(std::string_view key) {
    if (state_->Find(key) != state_->slots.size()) return nullptr;
    auto slot = std::make_shared<Slot>();
    slot->key = std::string(key);
    slot->con = std::make_unique<WOLCon>();
    slot->con->SetTag(std::string(key));
    WOLCon* con = slot->con.get();
    state_->slots.push_back(std::move(slot));
    return con;
}

WOLCon* WOLCons::Item(std::size_t index) const {
    return index < state_->slots.size() ? state_->slots[index]->con.get() : nullptr;
}

WOLCon* WOLCons::Item(std::string_view key) const {
    const std::size_t i = state_->Find(key);
    return i < state_->slots.size() ? state_->slots[i]->con.get() : nullptr;
}

std::size_t WOLCons::Count() const {
    return state_->slots.size();
}

bool WOLCons::Remove(std::size_t index) {
    auto state = state_;
    return state->RemoveAt(index);
}

bool WOLCons::Remove(std::string_view key) {
    auto state = state_;
    return state->RemoveAt(state->Find(key));
}

void WOLCons::ForEach(const std::function<void(WOLCon&)>& fn) const {
    const auto snapshot = state_->slots;
    for (const auto& slot : snapshot) {
        if (slot->member) fn(*slot->con);
    }
}

std::vector<std::string> WOLCons::Keys() const {
    std::vector<std::string> keys;
    keys.reserve(state_->slots.size());
    for (const auto& slot : state_->slots) keys.push_back(slot->key);
    return keys;
}

}  // namespace vantor
