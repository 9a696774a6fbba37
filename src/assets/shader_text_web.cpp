// WebGL compiles the loader's text from its first line on: "#version 300 es" must open it.
#include "assets/shader_text.h"

const char* shaderTextForGl(const std::string& source)
{
    return source.c_str() + (!source.empty() && source[0] == '\n' ? 1 : 0);
}
