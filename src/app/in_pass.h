// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <vector>

namespace vantor {

class WOLCon;

// The sessions inside their receive pass right now. A message box raised from a handler runs a
// nested event loop in which the receive timer keeps ticking; a pass must not run inside itself.
class InPass {
public:
    // Marks a session for the guard's lifetime, unless it is marked already; the mark goes when
    // the guard does, also when the pass throws.
    class Guard {
    public:
        Guard(InPass& set, const WOLCon& session)
            : set_(set), session_(&session), entered_(!set.Contains(session)) {
            if (entered_) set_.sessions_.push_back(session_);
        }
        ~Guard() {
            if (entered_) std::erase(set_.sessions_, session_);
        }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

        bool Entered() const { return entered_; }

    private:
        InPass& set_;
        const WOLCon* session_;
        bool entered_;
    };

    bool Contains(const WOLCon& session) const {
        return std::find(sessions_.begin(), sessions_.end(), &session) != sessions_.end();
    }

private:
    std::vector<const WOLCon*> sessions_;
};

}  // namespace vantor
