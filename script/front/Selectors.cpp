#include "script/front/Selectors.h"

namespace zeb::script {

const Selectors& Selectors::get()
{
    static const Selectors selectors{
        SymbolTable::intern("negate"),    SymbolTable::intern("bitComplement"),
        SymbolTable::intern("at:"),       SymbolTable::intern("at:put:"),
        SymbolTable::intern("increment"), SymbolTable::intern("decrement"),
        SymbolTable::intern("="),         SymbolTable::intern("=="),
    };
    return selectors;
}

} // namespace zeb::script
