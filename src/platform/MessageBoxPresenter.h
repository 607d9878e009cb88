#pragma once
// Shows the boxes of the message-box layer as real dialogs (QMessageBox).
// Programs with windows call install() once after creating the application.

namespace MessageBoxPresenter {
void install();
}
