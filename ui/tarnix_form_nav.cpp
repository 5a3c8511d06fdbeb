// The Positioning page: navigation list, its files and extraction from SEG-Y.
#include "core/session.h"
#include "navigation/nav_list.h"
#include "ui/tarnix_form.h"

namespace tarnix {

void TTarnixForm::SavenavButtClick() {}

void TTarnixForm::importNavbuttClick() {}

void TTarnixForm::ClearNavButtClick() {
    CLEAR_NAV_GRID(session());
    refreshFromSession();
}

void TTarnixForm::ExtractNAV1Click() {}

} // namespace tarnix
