// Desktop GL compiles the loader's text as it is.
#include "assets/shader_text.h"

const char* shaderTextForGl(const std::string& source)
{
    return source.c_str();
}
