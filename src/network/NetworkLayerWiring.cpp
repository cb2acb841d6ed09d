#include "network/NetworkLayerWiring.h"

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "gui/GUIInputTextBox.h"
#include "network/GUIChatWindow.h"
#include "network/NetworkManager.h"

namespace {

bool IsOnline() {
    NetworkManager* network = GetGlobalState()->networkManager;
    return network && network->IsConnected();
}

}  // namespace

void InstallNetworkLayerHooks() {
    GUIInputTextBox::SetLineEnteredHandler(GUIChatWindow::OnLineEntered);
    GetLayerHooks().isOnline = IsOnline;
}
