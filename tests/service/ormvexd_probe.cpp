// ormvexd with one addition: every event record is also appended to "events.txt"
// beside the program as "<type> <id> <insertion string>", because Wine's event log
// stores nothing that a test could read back.
#include <windows.h>

#include <string>

#include "foundation/files.h"
#include "foundation/unique_handle.h"
#include "service/nt_service.h"
#include "service/program.h"

namespace {

void RecordEvent(WORD type, DWORD id, const char* insertion) {
    const std::string line = std::to_string(type) + " " + std::to_string(id) + " " + (insertion ? insertion : "") + "\r\n";
    UniqueFile file(::CreateFileA((ModuleFolder() + "events.txt").c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    CNTService::SetEventRecorder(RecordEvent);
    return ServiceProgramMain(argc, argv);
}
