// Makes the layout reader build the real controls: every control type id gets
// its class. The application calls this once at start-up, before the first
// layout is loaded.
#pragma once

void RegisterUiControls();
