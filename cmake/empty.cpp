// A library with no sources yet still needs one translation unit.
namespace orvadex_empty_unit {}
