// Varnelle tests: the invariants that the quiz window's two kinds of handlers keep between them.
#pragma once

#include "quiz/France.h"

#include <QPointer>
#include <QStringList>

#include <cstdint>

namespace varnelle::test {

// Checks the session state of the quiz window against its controls after an
// event: call check() after every click of a test, and compare the result
// with an empty list. It remembers Etape and ItemEnCours from one call to the
// next, since neither may ever go down within a session; a quiz window loaded
// afresh starts a new session.
class SessionInvariants {
public:
    // The broken invariants, one sentence each; empty when all hold.
    QStringList check(const France& france);
    // The same on the application's quiz window; nothing to check when it is
    // not loaded (before the name is given, or once the application ended).
    QStringList check(Windows& forms);

private:
    QPointer<const France> window_;
    std::int16_t lastEtape_ = 0;
    std::int16_t lastItem_ = 0;
};

} // namespace varnelle::test
