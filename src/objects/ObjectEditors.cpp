#include "objects/ObjectEditors.h"

namespace editors {

TObjectEditors &ObjectEditors()
{
    static TObjectEditors editors;
    return editors;
}

} // namespace editors
