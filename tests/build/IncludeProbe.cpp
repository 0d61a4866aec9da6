// One include, named by the test that compiles this file with the include
// path of a layer: the build's layering allows it or refuses it.
#include ZK_PROBE_HEADER
