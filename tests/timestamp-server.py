# The signing test's timestamp authority on 127.0.0.1: prints its port, answers RFC 3161
# requests with `openssl ts -reply`, and stops after sixty waits of up to five seconds.
#   python3 timestamp-server.py CONFIG
import http.server, subprocess, sys


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers['Content-Length']))
        reply = subprocess.run(['openssl', 'ts', '-reply', '-config', sys.argv[1], '-queryfile',
                                '/dev/stdin'], input=query, capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header('Content-Type', 'application/timestamp-reply')
        self.send_header('Content-Length', str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)


server = http.server.HTTPServer(('127.0.0.1', 0), Handler)
server.timeout = 5
print(server.server_address[1], flush=True)
for _ in range(60):
    server.handle_request()
