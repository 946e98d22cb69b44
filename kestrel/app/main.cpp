// Kestrel: started by Osprey.exe with one argument; replaces Osprey's files once it has exited
// and starts it again.
#include "app/KestrelApp.h"

namespace {

kestrel::app::CKestrelApp theApp;

}  // namespace

int main() {
    return kestrel::ui::RunWinApp(theApp);
}
