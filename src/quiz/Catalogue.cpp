#include "quiz/Catalogue.h"

namespace varnelle::catalogue {

namespace {

// The themes follow one another without a gap, from the first target to the
// last, and each holds exactly the targets that name it.
constexpr bool themesPartitionTheTargets()
{
    int next = 1;
    for (std::size_t t = 0; t < kThemes.size(); ++t) {
        const Theme& theme = kThemes[t];
        if (theme.first != next || theme.last < theme.first)
            return false;
        for (int n = theme.first; n <= theme.last; ++n) {
            if (target(n).theme != static_cast<int>(t) + 1)
                return false;
        }
        next = theme.last + 1;
    }
    return next == static_cast<int>(kTargets.size()) + 1;
}

// Each theme done hands DEPART the phase that opens the next one, the last
// theme the end texts: the sequencer's dispatch runs in the themes' order.
constexpr bool phasesFollowTheThemes()
{
    for (std::size_t t = 0; t < kThemes.size(); ++t) {
        if (kThemes[t].etapeWhenDone != OpenSeas + static_cast<int>(t))
            return false;
    }
    return kThemes.back().etapeWhenDone == ShowEndTexts;
}

static_assert(numberedInOrder(kTargets), "target n must be row n");
static_assert(themesPartitionTheTargets());
static_assert(phasesFollowTheThemes());

} // namespace

} // namespace varnelle::catalogue
