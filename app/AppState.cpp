#include "app/AppState.h"

// Zeroed with the process; the main window's creation fills in the defaults.
ApplicationState AppState;
