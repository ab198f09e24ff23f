#include "core/upper_layers.h"

#include "core/not_built_yet.h"

namespace SubMain {

UpperLayerCalls& UpperLayers() {
  static UpperLayerCalls calls{NotBuiltYet::frmPortChange_ShowModal, NotBuiltYet::frmMain_Show,
                               NotBuiltYet::gblnMSComm_Close};
  return calls;
}

}  // namespace SubMain
