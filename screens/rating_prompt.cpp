#include "screens/rating_prompt.h"

#include "app/web_links.h"
#include "platform/defaults_database.h"
#include "platform/modal_alerts.h"
#include "platform/platform.h"
#include "store/settings.h"

#include <QDesktopServices>
#include <QUrl>
#include <QVariant>
#include <utility>

namespace vantrel {
namespace {

StorePageOpener& storePageOpener() {
    static StorePageOpener opener;
    return opener;
}

void openStorePage(const QUrl& url) {
    if (const StorePageOpener& opener = storePageOpener()) {
        opener(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

// The leading whole number of a text, after blanks and an optional sign; 0 when there is none.
bool leadingNumberIsNonZero(const QString& text) {
    qsizetype index = 0;
    while (index < text.size() && text.at(index).isSpace())
        ++index;
    if (index < text.size() && (text.at(index) == u'+' || text.at(index) == u'-'))
        ++index;
    for (; index < text.size() && text.at(index).isDigit(); ++index) {
        if (text.at(index) != u'0')
            return true;
    }
    return false;
}

// The defaults database's Boolean reading of a stored value: booleans as they are, numbers when
// not zero, texts "YES" and "true" (in any case) or a non-zero number; anything else is false.
bool booleanReading(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.compare(u"yes", Qt::CaseInsensitive) == 0 ||
            text.compare(u"true", Qt::CaseInsensitive) == 0)
            return true;
        return leadingNumberIsNonZero(text);
    }
    default:
        return false;
    }
}

void runRatingAlert() {
    ModalAlerts* alerts = platform().alerts;
    if (alerts == nullptr)
        return;
    AlertRequest request;
    request.messageText = QStringLiteral("Enjoying Vantrel?");
    request.informativeText =
        QStringLiteral("Spread the word and help other fellow users. \nRate us on the App Store.");
    request.style = AlertStyle::Warning;
    request.buttonTitles = {QStringLiteral("Rate Vantrel"), QStringLiteral("Remind Me Later")};
    if (alerts->runModal(request) != FirstButtonReturn)
        return; // asked again at the next start
    const QUrl page(storePageAddress(), QUrl::StrictMode);
    if (!page.isValid() || page.scheme().isEmpty())
        return;
    platform().defaults->setValue(keys::isAppstoreRated, QVariant(true));
    openStorePage(page);
}

} // namespace

QString storePageAddress() {
    return links::storePage();
}

bool isAppstoreRated() {
    const QVariant stored = platform().defaults->value(keys::isAppstoreRated);
    if (!stored.isValid())
        return false;
    return booleanReading(stored);
}

void rateUsOnAppStore() {
    if (isAppstoreRated())
        return;
    runRatingAlert();
}

void giveRatingOnAppstore() {
    runRatingAlert();
}

void setStorePageOpener(StorePageOpener opener) {
    storePageOpener() = std::move(opener);
}

} // namespace vantrel
