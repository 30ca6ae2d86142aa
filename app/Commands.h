#pragma once

namespace zeb::app::command {

// Command identifiers as the menus and the toolbar send them.
constexpr int About = 57664;
constexpr int Documentation = 33323;
constexpr int OpenWorkspace = 33302;
constexpr int SaveWorkspace = 33301;
constexpr int FileSave = 57603;
constexpr int SaveWorkspaceAs = 33310;
constexpr int FileSaveAs = 57604;
constexpr int CloseWorkspace = 33307;
constexpr int Connect = 33303;
constexpr int Disconnect = 33304;
constexpr int Properties = 33309;
constexpr int WebSite = 33308;
constexpr int PrintSetup = 57606;
constexpr int Exit = 57665;
constexpr int ViewToolbar = 59392;
constexpr int ViewStatusBar = 59393;
constexpr int FirstRecentFile = 57616;
constexpr int FirstNewDocument = 33400;
constexpr int LastNewDocument = 33499;

// Status bar panes: the two activity indicators.
constexpr int SentPane = 33305;
constexpr int ReceivedPane = 33306;

} // namespace zeb::app::command
