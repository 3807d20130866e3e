#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A private nginx on 127.0.0.1 serving a big file, for the benches that source this file.
# start_nginx WORK LOG_FORMAT [LIMIT_RATE] [SIZE] serves WORK/www/big.bin (SIZE as fallocate
# reads it, 1G unless given) on a free port, logs each request to WORK/access.log in nginx's
# LOG_FORMAT, and sets big_url; stop_nginx stops it. A request's rate=R argument holds that
# request to R instead of LIMIT_RATE.

start_nginx() { # work log_format [limit_rate] [size]
  local work=$1 format=$2 rate=${3:-0} size=${4:-1G} port
  # nginx's workers may run as nobody: they must be able to read the served file.
  chmod 755 "$work"
  mkdir -m 755 "$work/www"
  fallocate -l "$size" "$work/www/big.bin"
  chmod 644 "$work/www/big.bin"
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat > "$work/nginx.conf" << CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 64; }
http {
  log_format bench '$format';
  access_log $work/access.log bench;
  sendfile on;
  client_body_temp_path $work/tmp-body;
  proxy_temp_path $work/tmp-proxy;
  fastcgi_temp_path $work/tmp-fastcgi;
  uwsgi_temp_path $work/tmp-uwsgi;
  scgi_temp_path $work/tmp-scgi;
  map \$arg_rate \$bench_rate { "" $rate; default \$arg_rate; }
  server { listen 127.0.0.1:$port; root $work/www; limit_rate \$bench_rate; }
}
CONF
  nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log"
  big_url="http://127.0.0.1:$port/big.bin"
  for _ in $(seq 50); do curl -sfI "$big_url" > /dev/null && break; sleep 0.1; done
}

stop_nginx() { # work
  if [ -s "$1/nginx.pid" ]; then kill "$(cat "$1/nginx.pid")" 2> /dev/null || true; fi
  # nginx removes its pid file on the way out; wait for that before the folder goes.
  for _ in $(seq 50); do [ -e "$1/nginx.pid" ] || break; sleep 0.1; done
}
