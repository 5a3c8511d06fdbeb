#include "formats/shot_range.h"

#include "core/session.h"
#include "formats/file_open.h"

namespace tarnix {

void selectWholeFile(Session& s, int firstShot) {
    const int count = s.NumTraces;
    const auto slash = s.InputFileName.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? s.InputFileName
                                                             : s.InputFileName.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(count);
    s.shots.StartShot.set(firstShot);
    s.shots.EndShot.set(firstShot + count);
    selectShotsOk(s);
}

} // namespace tarnix
