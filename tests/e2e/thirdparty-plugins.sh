# Debian's VST 2 plug-ins that tarvo-host is checked against, for the
# end-to-end scripts that load them; source it after run-host.sh. Sets KARS
# and NEKOBI (synths), THREE_BAND_EQ (an effect; all three of
# dpf-plugins-vst) and AMSYNTH to their modules and fails the test when one
# is not installed.

KARS=/usr/lib/vst/Kars-vst.so
NEKOBI=/usr/lib/vst/Nekobi-vst.so
THREE_BAND_EQ=/usr/lib/vst/3BandEQ-vst.so
AMSYNTH=/usr/lib/vst/amsynth_vst.so

_require_thirdparty_plugins() {
    local module
    for module in "$KARS" "$NEKOBI" "$THREE_BAND_EQ" "$AMSYNTH"; do
        [ -f "$module" ] || fail "$module is missing (scripts/install-deps.sh installs dpf-plugins-vst and amsynth)"
    done
}
_require_thirdparty_plugins
