// The character test page: the seven range buttons and their patterns.

#include "frmuVylSetup.h"

void TfrmVylSetup::actButtonCreatExecute(QObject* /*sender*/) {
    // TODO(device actions): set the range buttons' tags and route their clicks to
    // actCodePageTestExecute. Until then the range buttons do nothing.
}
