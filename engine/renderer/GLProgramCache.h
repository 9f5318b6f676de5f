#pragma once

#include <string>
#include <unordered_map>

namespace engine {

class GLProgram;

// Programs by name. The built-in ones are loaded on first use; layers add their own
// ("Waterfall", "SimpleLineShader") and look them up again later.
class GLProgramCache {
  public:
    static GLProgramCache* getInstance();
    static void destroyInstance();

    GLProgram* getGLProgram(const std::string& key);
    void addGLProgram(GLProgram* program, const std::string& key);
    void removeAll();

  private:
    GLProgramCache() = default;
    ~GLProgramCache();
    void loadDefaultGLPrograms();

    std::unordered_map<std::string, GLProgram*> _programs;
    bool _defaultsLoaded = false;
};

}  // namespace engine
