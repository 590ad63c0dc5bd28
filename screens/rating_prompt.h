#pragma once

#include <functional>
#include <QString>

class QUrl;

namespace vantrel {

// The address of Vantrel's page in the store, where users rate it.
QString storePageAddress();

// Whether the user has chosen to rate Vantrel: false while nothing is stored under
// isAppstoreRated, otherwise the defaults database's Boolean reading of what is there (a text
// reads true for "YES", "true" or a non-zero number).
bool isAppstoreRated();

// Asks the user to rate Vantrel, unless the user chose to already. The application delegate
// runs it once, five minutes after start-up.
void rateUsOnAppStore();

// Asks the user to rate Vantrel, whatever the user chose before. "Rate Vantrel" opens the store
// page and remembers the choice; "Remind Me Later" changes nothing.
void giveRatingOnAppstore();

// How the store page is opened: QDesktopServices::openUrl unless replaced (tests do, so that no
// browser starts). An empty function puts the default back.
using StorePageOpener = std::function<void(const QUrl&)>;
void setStorePageOpener(StorePageOpener opener);

} // namespace vantrel
