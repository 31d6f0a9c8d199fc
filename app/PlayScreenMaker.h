// The play screen with the application's map, scripts and match camera.
#pragma once

class CScreen;

// Null without an application.
CScreen* NewPlayScreen();
