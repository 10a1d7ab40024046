# Every target installs what is missing first, then drives CMake with its presets.
.PHONY: deps test test-asan bench fuzz-smoke format format-check clean
.PHONY: test-peers package package-check

CMAKE_BUILD = cmake --build --preset
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps

test: deps
	cmake --preset dev
	$(CMAKE_BUILD) dev
	ctest --preset dev

test-asan: deps
	cmake --preset asan
	$(CMAKE_BUILD) asan
	ctest --preset asan

bench: deps
	cmake --preset release
	$(CMAKE_BUILD) release --target vantor_bench
	tests/run-isolated build/release/bench/vantor_bench --benchmark_repetitions=5 \
		--benchmark_report_aggregates_only=true
	$(CMAKE_BUILD) release --target vantor_ui_bench
	tests/run-isolated bench/ui-bench build/release/bench/vantor_ui_bench
	$(CMAKE_BUILD) release --target vantor vantor_bare_tray
	tests/run-isolated bench/memory-bench build/release/src/app/vantor \
		build/release/bench/vantor_bare_tray

fuzz-smoke: deps
	cmake --preset fuzz
	$(CMAKE_BUILD) fuzz
	scripts/fuzz-smoke build/fuzz/fuzz $(FUZZ_SECONDS)

# Not part of `test`: installs the real codex CLI from npm into build/peers and talks to it,
# signed out, with a throw-away HOME and CODEX_HOME.
CODEX_PEER_VERSION ?= 0.171.0
# The peer reaches for its backend, remote control and plugin sync on its own: keep it off the
# network, in a namespace of its own where the machine allows one, else behind a dead proxy.
PEER_OFFLINE = $(shell unshare -rn true 2>/dev/null && echo unshare -rn)
PEER_PROXY = http://127.0.0.1:9
test-peers: deps
	scripts/install-deps peers
	cmake --preset dev
	$(CMAKE_BUILD) dev --target tst_CodexPeer
	npm install --prefix build/peers --no-audit --no-fund @openai/codex@$(CODEX_PEER_VERSION)
	VANTOR_CODEX_PEER=$(CURDIR)/build/peers/node_modules/.bin/codex \
		HTTPS_PROXY=$(PEER_PROXY) HTTP_PROXY=$(PEER_PROXY) ALL_PROXY=$(PEER_PROXY) NO_PROXY= \
		https_proxy=$(PEER_PROXY) http_proxy=$(PEER_PROXY) all_proxy=$(PEER_PROXY) no_proxy= \
		$(PEER_OFFLINE) tests/run-isolated build/dev/tests/peers/tst_CodexPeer

format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

format-check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf build

# Starts Vantor from the build tree, in the foreground (Ctrl+C quits it). A build tree never
# registers itself to start at login; an installed copy does, once.
.PHONY: run install
run: deps
	cmake --preset dev
	$(CMAKE_BUILD) dev --target vantor
	build/dev/src/app/vantor

# The optimised build, installed under PREFIX (sudo for /usr/local; PREFIX=~/.local needs none).
PREFIX ?= /usr/local
install: deps
	cmake --preset release
	$(CMAKE_BUILD) release --target vantor
	cmake --install build/release --prefix $(PREFIX)

# The Debian package, build/package/vantor_<version>_<arch>.deb, from the optimised executable
# alone; package-check validates it (desktop entry, metainfo, lintian, install and removal in a
# throw-away root).
package:
	scripts/install-deps package
	cmake --preset package
	$(CMAKE_BUILD) package
	cpack --preset package

package-check: package
	scripts/check-package build/package/vantor_*.deb
