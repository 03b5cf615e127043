#include "app/hooks.h"

namespace corsavel {

AppHooks hooks;

}  // namespace corsavel
