#include "widgets/ListDiff.h"

namespace brinmor {

namespace {

class Differ {
public:
    Differ(const std::vector<QString>& shown, const std::vector<QString>& wanted,
           const ListLess& less)
        : shown_(shown), wanted_(wanted), less_(less) {}

    std::vector<ListEdit> Run() {
        while (next_ < wanted_.size() || old_ < shown_.size()) {
            if (old_ < shown_.size() && next_ < wanted_.size() && shown_[old_] == wanted_[next_]) {
                ++old_;
                ++next_;
                ++row_;
            } else if (!InsertRun()) {
                RemoveRun();
            }
        }
        return std::move(edits_);
    }

private:
    // Whether the wanted text goes in before the shown one (or the list's end).
    bool ComesFirst(std::size_t text, std::size_t before) const {
        return before == shown_.size() || (less_ && less_(wanted_[text], shown_[before]));
    }

    bool InsertRun() {
        std::size_t end = next_;
        while (end < wanted_.size() && ComesFirst(end, old_))
            ++end;
        if (end == next_)
            return false;
        edits_.push_back(ListInsert{Int(row_), Int(end - next_), Int(next_)});
        row_ += end - next_;
        next_ = end;
        return true;
    }

    void RemoveRun() {
        std::size_t last = old_;
        while (last < shown_.size() &&
               (next_ == wanted_.size() ||
                (shown_[last] != wanted_[next_] && !ComesFirst(next_, last))))
            ++last;
        edits_.push_back(ListRemove{Int(row_), Int(last - old_)});
        old_ = last;
    }

    static int Int(std::size_t n) { return static_cast<int>(n); }

    const std::vector<QString>& shown_;
    const std::vector<QString>& wanted_;
    const ListLess& less_;
    std::size_t old_ = 0;  // the first shown text not yet passed
    std::size_t next_ = 0; // the first wanted text not yet placed
    std::size_t row_ = 0;  // where old_ stands in the list as edited so far
    std::vector<ListEdit> edits_;
};

} // namespace

std::vector<ListEdit> ListDiff(const std::vector<QString>& shown,
                               const std::vector<QString>& wanted, const ListLess& less) {
    return Differ(shown, wanted, less).Run();
}

} // namespace brinmor
