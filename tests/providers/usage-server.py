#!/usr/bin/python3
# Plays the Claude usage endpoint over HTTPS on 127.0.0.1: `usage-server.py CERT KEY DATA LOG`
# prints its port, appends every request's Authorization and User-Agent headers to LOG after a
# line feed, and answers by the path's first segment (see answer()); a bearer token "as:PATH" is
# answered as PATH would be, so that accounts sharing the endpoint are each answered by token.
# Like the real endpoint it refuses a request without a bearer token or the OAuth beta header,
# and answers 429 at once to a User-Agent that is not Claude Code's own.
import http.server, json, os, re, ssl, sys, time

cert, key, data, log = sys.argv[1:5]


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=(), length=True):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        with open(log, "a", encoding="utf-8") as file:
            file.write("\n" + self.headers.get("Authorization", "") + "\t" +
                       self.headers.get("User-Agent", ""))
        if not re.fullmatch(r"claude-cli/\d+\.\d+\.\d+ \(external, cli\)",
                            self.headers.get("User-Agent", "")):
            return self.reply(429, open(data + "/rate-limited-429.json", "rb").read(),
                              [("Retry-After", "0")])
        if not self.headers.get("Authorization", "").startswith("Bearer ") or \
                self.headers.get("anthropic-beta") != "oauth-2025-04-20":
            return self.reply(401, b'{"error":{"type":"authentication_error"}}')
        token = self.headers["Authorization"][len("Bearer "):]
        path = token[3:] if token.startswith("as:") else self.path
        self.answer(*path.strip("/").split("/") + [""])

    def answer(self, kind, argument, *_):
        port = self.server.server_address[1]
        moves = {"same": "/ok", "loop": "/loop", "other": f"https://localhost:{port}/ok",
                 "plain": f"http://127.0.0.1:{port}/ok"}
        if kind == "ok":
            self.reply(200, open(data + "/usage-response.json", "rb").read())
        elif kind == "renew":  # refuses the token until Claude Code "renews" it meanwhile
            if self.headers["Authorization"] == "Bearer renewed":
                return self.answer("ok", "")
            folder = os.environ.get("CLAUDE_CONFIG_DIR") or os.environ["HOME"] + "/.claude"
            with open(folder + "/.credentials.json", "w", encoding="utf-8") as file:
                json.dump({"claudeAiOauth": {"accessToken": "renewed"}}, file)
            self.reply(401, b'{"error":{"type":"authentication_error"}}')
        elif kind in moves:
            self.reply(302, headers=[("Location", moves[kind])])
        elif kind == "status":
            self.reply(int(argument), b'{"error":{}}', [("Retry-After", "1200")])
        elif kind in ("size", "unannounced"):
            body = b'{"five_hour":{"utilization":3}}'
            self.reply(200, body.ljust(int(argument)), length=kind == "size")
        elif kind in ("cut", "text"):
            self.reply(200, b'{"five_hour":' if kind == "cut" else b"<html>ok</html>",
                       [("Content-Length", "1000")] if kind == "cut" else [], kind == "text")
        elif kind == "trickle":
            self.reply(200, headers=[("Content-Length", "200")], length=False)
            for _ in range(200):
                self.wfile.write(b" ")
                self.wfile.flush()
                time.sleep(0.05)
        elif kind == "silent":
            time.sleep(30)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
