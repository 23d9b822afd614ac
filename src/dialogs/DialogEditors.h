// Connects the card objects' requests for their property dialogs to the
// dialogs of this folder. The main window calls it once at start-up.
#pragma once

void RegisterDialogEditors();
