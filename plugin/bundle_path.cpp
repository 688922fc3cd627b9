#include "plugin/bundle_path.h"

namespace ChromvaleBeta2 {

std::string bundlePath;

std::string bundleResource(const std::string& file) {
    return bundlePath + "/Contents/Resources/" + file;
}

}  // namespace ChromvaleBeta2
