# Sourced by the Ardour scripts: ardour_environment WORK TYPE PLUGIN_PATH makes Ardour 7 run
# with its configuration and caches in WORK (neither the user's settings nor earlier runs count)
# and find exactly the plug-in under test besides LV2's own vocabulary (/usr/lib/lv2):
#   TYPE LV2:  PLUGIN_PATH the folder holding the bundle (LV2_PATH)
#   TYPE VST3: PLUGIN_PATH the .vst3 bundles (separated by ':'), copied into WORK and scanned there
#              (scan-vst3.sh)
ardour_environment() {
  local work=$1 type=$2 plugin_path=$3
  rm -rf "$work/config" "$work/cache" "$work/vst3"
  mkdir -p "$work/config" "$work/cache" "$work/vst3"
  export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
  export LV2_PATH=/usr/lib/lv2 VST3_PATH=$work/vst3
  case $type in
    LV2) LV2_PATH=$(cd "$plugin_path" && pwd):$LV2_PATH ;;
    VST3)
      local bundle bundles
      IFS=: read -r -a bundles <<<"$plugin_path"
      for bundle in "${bundles[@]}"; do
        "$(dirname "${BASH_SOURCE[0]}")/scan-vst3.sh" "$work" "$bundle" >/dev/null || return 1
      done ;;
    *) echo "TYPE is LV2 or VST3, not $type" >&2; return 2 ;;
  esac
}
