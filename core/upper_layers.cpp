#include "core/upper_layers.h"

namespace SubMain {

UpperLayerCalls& UpperLayers() {
  static UpperLayerCalls calls;
  return calls;
}

}  // namespace SubMain
