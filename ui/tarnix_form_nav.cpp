// The Positioning page: navigation list, its files and extraction from SEG-Y.
#include "core/session.h"
#include "ui/tarnix_form.h"

namespace tarnix {

void TTarnixForm::SavenavButtClick() {}

void TTarnixForm::importNavbuttClick() {}

void TTarnixForm::ClearNavButtClick() {
    // Rows from 1 up to and including the first one that was already empty.
    auto& nav = session().navigationGrid;
    for (size_t row = 1; row < nav.size(); ++row) {
        const bool wasEmpty = nav[row].empty();
        nav[row].clear();
        if (wasEmpty) break;
    }
    refreshFromSession();
}

void TTarnixForm::ExtractNAV1Click() {}

} // namespace tarnix
