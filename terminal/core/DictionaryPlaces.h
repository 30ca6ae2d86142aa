#pragma once

#include <string>

namespace zeb::terminal {

// Where the terminal keeps its dictionaries: the folder "dictionary" of the workbench's data folder.
class DictionaryPlaces
{
public:
    // "<home>/dictionary"
    static std::string folder();
    // The terminal tool bar's dictionary: "<home>/dictionary/default.ude".
    static std::string toolBarDictionary();
    // The button bar's dictionary: "<home>/dictionary/button.ude".
    static std::string buttonBarDictionary();
    // Creates the folder with any missing parents; true when it exists afterwards.
    static bool createFolder();
};

} // namespace zeb::terminal
