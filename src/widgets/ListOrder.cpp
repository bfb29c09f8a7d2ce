#include "widgets/ListOrder.h"

#include <algorithm>
#include <iterator>

namespace brinmor {

void ListOrder::Forget() {
    known_.clear();
    ranked_.clear();
    lastTexts_.clear();
    lastFound_.clear();
}

ListOrder::Known& ListOrder::Find(const QString& text, std::vector<Known*>& fresh) {
    auto found = known_.find(text);
    if (found == known_.end()) {
        found = known_.emplace(text, Known{NewKey(text), 0}).first;
        fresh.push_back(&found->second);
    }
    return found->second;
}

void ListOrder::Rank(std::vector<Known*>& fresh) {
    const auto less = [](const Known* a, const Known* b) { return KeyLess(a->key, b->key); };
    std::stable_sort(fresh.begin(), fresh.end(), less);
    std::vector<Known*> merged;
    merged.reserve(ranked_.size() + fresh.size());
    std::merge(ranked_.begin(), ranked_.end(), fresh.begin(), fresh.end(),
               std::back_inserter(merged), less);
    ranked_.swap(merged);
    for (std::size_t rank = 0; rank < ranked_.size(); ++rank)
        ranked_[rank]->rank = rank;
    fresh.clear();
}

ListOrder::Key ListOrder::KeyFor(const QString& text) const {
    const auto found = known_.find(text);
    return found != known_.end() ? found->second.key : NewKey(text);
}

bool ListOrder::Less(const QString& a, const QString& b) {
    FollowUserLocale();
    return KeyLess(KeyFor(a), KeyFor(b));
}

std::vector<std::size_t> ListOrder::Sorted(const std::vector<QString>& texts) {
    FollowUserLocale();
    // Texts gone since are forgotten once they outnumber those in use.
    if (known_.size() > 2 * texts.size() + 256)
        Forget();
    std::vector<Known*> fresh;
    std::vector<Known*> found;
    found.reserve(texts.size());
    // A folder lists its files in the same order each time: each text is looked for first
    // where the last sort had it, after the one before or one further on (one gone since).
    std::size_t guess = 0;
    for (const QString& text : texts) {
        if (guess < lastTexts_.size() && lastTexts_[guess] == text) {
            found.push_back(lastFound_[guess++]);
        } else if (guess + 1 < lastTexts_.size() && lastTexts_[guess + 1] == text) {
            found.push_back(lastFound_[guess + 1]);
            guess += 2;
        } else {
            found.push_back(&Find(text, fresh));
        }
    }
    if (!fresh.empty())
        Rank(fresh);
    lastTexts_ = texts;
    lastFound_ = found;
    std::vector<std::pair<std::size_t, std::size_t>> ranks;
    ranks.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        ranks.emplace_back(found[i]->rank, i);
    // The position breaks ties between copies of one text.
    std::sort(ranks.begin(), ranks.end());
    std::vector<std::size_t> order;
    order.reserve(texts.size());
    for (const auto& rank : ranks)
        order.push_back(rank.second);
    return order;
}

} // namespace brinmor
