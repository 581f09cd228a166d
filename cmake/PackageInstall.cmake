# Read by CPack before it runs the install rules into its staging folder. That install is
# no user's install: it must not replace the record of one made from the same build
# (install_manifest.txt and the folders record), which the uninstall target reads.
set(ENV{QUILLERY_PACKAGING} 1)
